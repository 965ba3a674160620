#pragma once

#include "laser/LaserError.h"
#include "laser/StatusTables.h"
#include "session/Readouts.h"

#include <optional>

class TCVLaser;
class TIPCMessenger;

// What one poll tick found and did.
struct TPollTick {
    enum class TOutcome {
        // The status was read; the laser stays in the owner's hands.
        Polled,
        // The status could not be read, or an exchange after it failed
        // without the laser answering (a time-out, a broken line, garbage).
        // The laser is given up: nothing further reaches it until it is
        // found again.
        NotResponding,
        // The laser reports a supply reset failure (RESET). The mailbox and
        // the read-out of the tick were still served; then the laser was
        // given up.
        ResetFailure,
    };
    TOutcome Outcome = TOutcome::Polled;
    // The derived status word read by this tick (0 when none was read).
    TLaserStatus Status = 0;
    // Whether the laser may be fired now.
    bool CanFire = false;
    // Firing is over as far as the owner's display goes: a fault stop went
    // through, or a laser that may have been firing was told to stop (or
    // is owed the stop) before it was given up.
    bool FiringEnded = false;
    // The laser refused the fault stop or the fire check with an error
    // reply. Set on the first tick of such an episode only; the episode
    // ends with the first tick without a refusal. "ST" is sent on every
    // tick all the same.
    std::optional<ELaserError> Refusal;
    // A mailbox client changed the laser's firing mode ("MO0".."MO2").
    bool FireModeChanged = false;
    // The read-out whose turn it was (read only when present).
    TReadouts::TKind Readout = TReadouts::rkShots;
};

// The safety rule of the poll, for any owner of the laser (the main window,
// a device server): one tick at a time, never waiting for anybody.
//
// Each tick reads the derived status word; stops firing on a fault other
// than START alone ("ST" on every tick while it stands); checks whether the
// laser may fire; answers at most one mailbox request by passing it to the
// laser (a failed one gets the laser's raw error reply, or nothing); and
// reads one read-out in turn. A laser that stops answering may still be
// firing (the last status said FIRE, the fault stop was under way, or the
// owner shows it firing): it is sent "ST" before it is given up, and a stop
// the line cannot carry is owed until LaserFound. Ticks raise nothing; what
// happened is in the result.
//
// The laser object and the messenger are not owned and must outlive the
// poll; the messenger may be null (no mailbox). Use from one thread.
class TSafetyPoll {
public:
    // FLOW TEMP EXT WORK START RESET BURST_LOCK
    static constexpr TLaserStatus FaultMask = 0x54F;

    TSafetyPoll(TCVLaser& laser, TIPCMessenger* messenger);

    // One tick. `firingShown`: the owner shows the laser firing (the fire
    // button down), which counts as possibly firing when the laser is lost.
    TPollTick Tick(bool firingShown);

    // After a discovery found the laser, before anything else is sent to
    // it: a stop the broken line did not carry (best effort; still owed when
    // it fails again). The owner binds the read-outs (Readouts().Setup) once
    // its start settings are done.
    void LaserFound();

    bool StopOwed() const { return FStopOwed; }
    // The status word of the last tick that read one.
    TLaserStatus LastStatus() const { return FLastStatus; }
    const TReadouts& Readouts() const { return FReadouts; }
    TReadouts& Readouts() { return FReadouts; }

private:
    void NotResponding(TPollTick& tick, bool stopTried, bool firingShown);
    bool ServeMailbox();

    TCVLaser& FLaser;
    TIPCMessenger* FMessenger;
    TReadouts FReadouts;
    TLaserStatus FLastStatus = 0;
    bool FStopOwed = false;
    bool FRefusalReported = false;
};
