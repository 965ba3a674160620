#pragma once

#include "SimLaser.h"
#include "SimResponder.h"

#include <QByteArray>

namespace lasersim {

// The control interface: one text line in, one answer line out ("OK ..." or
// "ERR ..."), used by tests and by a person at a demo to change the simulated
// laser while it runs. The line set is documented in the README.
class TSimControl {
public:
    TSimControl(TSimLaser& laser, TSimResponder& responder)
        : FLaser(laser), FResponder(responder) {}

    // line: without its newline. nowMs: the simulator's clock.
    QByteArray Execute(const QByteArray& line, qint64 nowMs);

    // Set by "quit": the caller ends the simulator after sending the answer.
    bool QuitRequested() const { return FQuit; }

private:
    QByteArray Fault(const QList<QByteArray>& words);
    QByteArray Override(const QByteArray& verb, const QByteArray& rest);

    TSimLaser& FLaser;
    TSimResponder& FResponder;
    bool FQuit = false;
};

} // namespace lasersim
