// laser-sim: a simulated laser on a pty or a TCP port, for tests and demos.
// Usage and the control lines are described in README.md beside this file.

#include "ControlChannel.h"
#include "PtyTransport.h"
#include "SimService.h"
#include "TcpTransport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the event loop normally, so the pty link and the
// control socket are removed by their owners' destructors.
void QuitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
}

void Ready(const QString& what) {
    std::printf("READY %s\n", qPrintable(what));
    std::fflush(stdout);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "laser-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("laser-sim"));
    // A client that goes away mid-write must not kill the simulator.
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated laser on a pty or TCP port."));
    parser.addHelpOption();
    const QCommandLineOption ptyOption(QStringLiteral("pty"),
                                       QStringLiteral("Serve on a pty linked at PATH."),
                                       QStringLiteral("PATH"));
    const QCommandLineOption tcpOption(QStringLiteral("tcp"),
                                       QStringLiteral("Listen on [HOST:]PORT (0 = any port)."),
                                       QStringLiteral("ADDRESS"));
    const QCommandLineOption controlOption(
        QStringLiteral("control"), QStringLiteral("Accept control lines on a socket at PATH."),
        QStringLiteral("PATH"));
    const QCommandLineOption transcriptOption(QStringLiteral("transcript"),
                                              QStringLiteral("Append every received line to FILE."),
                                              QStringLiteral("FILE"));
    const QCommandLineOption timesOption(
        QStringLiteral("transcript-times"),
        QStringLiteral("Start each transcript line with the monotonic clock in ms."));
    const QCommandLineOption setOption(QStringLiteral("set"),
                                       QStringLiteral("Run a control line at start."),
                                       QStringLiteral("LINE"));
    parser.addOptions(
        {ptyOption, tcpOption, controlOption, transcriptOption, timesOption, setOption});
    parser.process(app);
    if (!parser.isSet(ptyOption) && !parser.isSet(tcpOption))
        return Fail(QStringLiteral("give --pty PATH or --tcp [HOST:]PORT"));

    QuitOnSignals(app);
    lasersim::TSimService service;
    QString error;
    if (parser.isSet(timesOption) && !parser.isSet(transcriptOption))
        return Fail(QStringLiteral("--transcript-times needs --transcript FILE"));
    if (parser.isSet(transcriptOption) &&
        !service.OpenTranscript(parser.value(transcriptOption), error))
        return Fail(error);
    service.SetTranscriptTimes(parser.isSet(timesOption));
    for (const QString& line : parser.values(setOption)) {
        const QByteArray answer = service.HandleControl(line.toLocal8Bit());
        if (!answer.startsWith("OK"))
            return Fail(
                QStringLiteral("--set \"%1\": %2").arg(line, QString::fromLocal8Bit(answer)));
    }

    auto handler = [&service](const QByteArray& line, const lasersim::TSendFunction& send) {
        service.HandleLine(line, send);
    };
    lasersim::TControlChannel control(
        [&service](const QByteArray& line) { return service.HandleControl(line); });
    if (parser.isSet(controlOption) && !control.ListenSocket(parser.value(controlOption), error))
        return Fail(error);

    lasersim::TPtyTransport pty(handler);
    lasersim::TTcpTransport tcp(handler);
    service.SetDropHandler([&tcp] { return tcp.DropConnections(); });
    service.SetDrainHandler([&pty, &tcp] {
        pty.Drain();
        tcp.Drain();
    });
    QStringList ready;
    if (parser.isSet(ptyOption)) {
        if (!pty.Open(parser.value(ptyOption), error))
            return Fail(error);
        ready << QStringLiteral("pty ") + parser.value(ptyOption);
    }
    if (parser.isSet(tcpOption)) {
        if (!tcp.Listen(parser.value(tcpOption), error))
            return Fail(error);
        ready << QStringLiteral("tcp ") + tcp.BoundAddress();
    }
    control.ListenStdin();
    for (const QString& what : ready)
        Ready(what);
    return app.exec();
}
