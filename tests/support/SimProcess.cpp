#include "support/SimProcess.h"

#include "support/QtApp.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Bounds on waiting for a simulator that is broken, not expectations of
// speed: a healthy one answers in milliseconds.
constexpr int StartLimitMs = 20000;
constexpr int ControlLimitMs = 10000;

void Complain(const QString& text) {
    std::fprintf(stderr, "SimProcess: %s\n", qPrintable(text));
}

} // namespace

SimProcess::SimProcess() = default;

SimProcess::~SimProcess() {
    Kill();
}

std::unique_ptr<SimProcess> SimProcess::StartPty(const QStringList& extraArgs) {
    return Start({QStringLiteral("--pty")}, true, extraArgs);
}

std::unique_ptr<SimProcess> SimProcess::StartTcp(const QStringList& extraArgs) {
    return Start({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0")}, false, extraArgs);
}

std::unique_ptr<SimProcess> SimProcess::Start(const QStringList& modeArgs, bool pty,
                                              const QStringList& extraArgs) {
    EnsureQtApp();
    const QByteArray binDir = qgetenv("TREVALON_BIN_DIR");
    if (binDir.isEmpty()) {
        Complain(QStringLiteral("TREVALON_BIN_DIR is not set (run the test through ctest)"));
        return nullptr;
    }
    std::unique_ptr<SimProcess> sim(new SimProcess);
    sim->FDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/laser-sim-XXXXXX");
    if (!sim->FDir->isValid()) {
        Complain(QStringLiteral("no temporary directory"));
        return nullptr;
    }
    sim->FTranscriptPath = sim->FDir->filePath(QStringLiteral("transcript.log"));
    QStringList args = modeArgs;
    if (pty) {
        sim->FPtyPath = sim->FDir->filePath(QStringLiteral("ttyLASER"));
        args << sim->FPtyPath;
    }
    args << QStringLiteral("--transcript") << sim->FTranscriptPath << extraArgs;
    sim->FArgs = args;
    if (!sim->Launch())
        return nullptr;
    return sim;
}

bool SimProcess::Launch() {
    const QString program = qEnvironmentVariable("TREVALON_BIN_DIR") + QStringLiteral("/laser-sim");
    FProcess = std::make_unique<QProcess>();
    FProcess->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FProcess->start(program, FArgs);
    if (!FProcess->waitForStarted(StartLimitMs)) {
        Complain(QStringLiteral("cannot start %1: %2").arg(program, FProcess->errorString()));
        return false;
    }
    FOutput.clear();
    const QByteArray ready = ReadLine(StartLimitMs);
    if (!ready.startsWith("READY ")) {
        Complain(QStringLiteral("no READY line from %1 (got '%2')")
                     .arg(program, QString::fromLocal8Bit(ready)));
        return false;
    }
    if (FPtyPath.isEmpty()) {
        const QByteArray address = ready.mid(ready.lastIndexOf(':') + 1);
        FTcpPort = static_cast<quint16>(address.toUInt());
    }
    return true;
}

bool SimProcess::Restart() {
    Kill();
    return Launch();
}

QByteArray SimProcess::ReadLine(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype end = FOutput.indexOf('\n');
        if (end >= 0) {
            QByteArray line = FOutput.left(end);
            FOutput.remove(0, end + 1);
            return line;
        }
        if (!IsRunning() || deadline.hasExpired())
            return {};
        if (FProcess->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            FOutput += FProcess->readAllStandardOutput();
    }
}

QByteArray SimProcess::Control(const QByteArray& line) {
    if (!IsRunning())
        return {};
    FProcess->write(line + '\n');
    FProcess->waitForBytesWritten(ControlLimitMs);
    return ReadLine(ControlLimitMs);
}

QByteArray SimProcess::Transcript() const {
    QFile file(FTranscriptPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void SimProcess::Kill() {
    if (!FProcess)
        return;
    if (FProcess->state() != QProcess::NotRunning) {
        FProcess->kill();
        FProcess->waitForFinished(StartLimitMs);
    }
}

bool SimProcess::IsRunning() const {
    return FProcess && FProcess->state() == QProcess::Running;
}
