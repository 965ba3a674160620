#include "SimService.h"

#include <QCoreApplication>
#include <QTimer>

#include <ctime>

namespace lasersim {

namespace {

// The system-wide monotonic clock rather than the simulator's own, so that
// a stamp compares with the clock of another process (a benchmark's).
QByteArray MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return QByteArray::number(qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

} // namespace

TSimService::TSimService(QObject* parent) : QObject(parent) {
    FClock.start();
}

bool TSimService::OpenTranscript(const QString& path, QString& error) {
    FTranscript.setFileName(path);
    if (!FTranscript.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error =
            QStringLiteral("cannot open transcript %1: %2").arg(path, FTranscript.errorString());
        return false;
    }
    return true;
}

void TSimService::HandleLine(const QByteArray& line, const TSendFunction& send) {
    // Written before answering, so that whoever has the answer also finds the
    // command in the transcript.
    if (FTranscript.isOpen()) {
        if (FTranscriptTimes)
            FTranscript.write(MonotonicMs() + ' ');
        FTranscript.write(TSimResponder::Escape(line) + '\n');
        FTranscript.flush();
    }
    const TSimAnswer answer = FResponder.Respond(line, Now());
    if (answer.Silent)
        return;
    if (answer.ByteGapMs >= 0) {
        // Each byte a write of its own, as a slow or buffering adapter
        // delivers them; the first one after the answer's delay.
        for (qsizetype i = 0; i < answer.Bytes.size(); ++i)
            QTimer::singleShot(answer.DelayMs + int(i) * answer.ByteGapMs, this,
                               [send, byte = answer.Bytes.mid(i, 1)] { send(byte); });
        return;
    }
    if (answer.DelayMs <= 0) {
        send(answer.Bytes);
        return;
    }
    QTimer::singleShot(answer.DelayMs, this, [send, bytes = answer.Bytes] { send(bytes); });
}

QByteArray TSimService::HandleControl(const QByteArray& line) {
    if (FDrain)
        FDrain();
    // The one control line that acts on the transports rather than the laser.
    if (line.trimmed() == "drop")
        return "OK " + QByteArray::number(FDrop ? FDrop() : 0);
    const QByteArray answer = FControl.Execute(line, Now());
    if (FControl.QuitRequested())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return answer;
}

} // namespace lasersim
