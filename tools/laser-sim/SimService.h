#pragma once

#include "LineSplitter.h"
#include "SimControl.h"
#include "SimLaser.h"
#include "SimResponder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>

namespace lasersim {

// Ties the simulated laser to its transports: every received line goes to
// the transcript, then through the responder, and its answer is sent now or
// after the injected delay; control lines go to the control interface.
class TSimService : public QObject {
    Q_OBJECT
public:
    explicit TSimService(QObject* parent = nullptr);

    // Appends every received line to path (created if missing).
    bool OpenTranscript(const QString& path, QString& error);
    // With on, each transcript line starts with the CLOCK_MONOTONIC time in
    // whole milliseconds at which the line was taken in, and a space.
    void SetTranscriptTimes(bool on) { FTranscriptTimes = on; }

    void HandleLine(const QByteArray& line, const TSendFunction& send);
    QByteArray HandleControl(const QByteArray& line);

    // What "drop" does: closes the network connections, returns how many.
    void SetDropHandler(std::function<int()> handler) { FDrop = std::move(handler); }

    // Run before every control line: takes in the protocol bytes that are
    // already waiting, so that a control line sent after a command line
    // finds that command handled.
    void SetDrainHandler(std::function<void()> handler) { FDrain = std::move(handler); }

    // Milliseconds since the simulator started: the laser's clock.
    qint64 Now() const { return FClock.elapsed(); }

private:
    TSimLaser FLaser;
    TSimResponder FResponder{FLaser};
    TSimControl FControl{FLaser, FResponder};
    QElapsedTimer FClock;
    QFile FTranscript;
    bool FTranscriptTimes = false;
    std::function<int()> FDrop;
    std::function<void()> FDrain;
};

} // namespace lasersim
