#include "session/SafetyPoll.h"

#include "ipc/IPCMessenger.h"
#include "laser/CVLaser.h"

#include <exception>

TSafetyPoll::TSafetyPoll(TCVLaser& laser, TIPCMessenger* messenger)
    : FLaser(laser), FMessenger(messenger) {}

TPollTick TSafetyPoll::Tick(bool firingShown) {
    TPollTick tick;
    try {
        tick.Status = FLaser.GetStatus();
    } catch (const std::exception&) {
        NotResponding(tick, false, firingShown);
        return tick;
    }
    FLastStatus = tick.Status;

    // The laser may refuse the fire check ("LT?" once a reset failure
    // cleared the identification) or the fault stop with an error reply. It
    // answered, so the poll goes on and "ST" goes out again next tick. Any
    // other failure means the laser is not answering.
    std::optional<ELaserError> refused;
    const auto refusal = [this, &refused](const ELaserError& error) {
        if (!IsErrorReply(FLaser.Reply()))
            return false;
        if (!refused)
            refused = error;
        return true;
    };
    const TLaserStatus faults = tick.Status & FaultMask;
    bool stopTried = false;
    try {
        try {
            tick.CanFire = FLaser.CanFire(tick.Status);
        } catch (const ELaserError& error) {
            if (!refusal(error))
                throw;
        }
        // START alone is a laser warming up, not a fault to stop for.
        if (faults != 0 && faults != lsStart) {
            stopTried = true;
            try {
                FLaser.StopFiring();
                tick.FiringEnded = true;
            } catch (const ELaserError& error) {
                if (!refusal(error))
                    throw;
            }
        }
    } catch (const std::exception&) {
        NotResponding(tick, stopTried, firingShown);
        return tick;
    }

    tick.FireModeChanged = ServeMailbox();
    tick.Readout = FReadouts.UpdateNext();
    if (tick.Status & lsReset) {
        tick.Outcome = TPollTick::TOutcome::ResetFailure;
        FLaser.GiveUp();
    }

    if (!refused) {
        FRefusalReported = false;
    } else if (!FRefusalReported) {
        FRefusalReported = true;
        tick.Refusal = refused;
    }
    return tick;
}

void TSafetyPoll::NotResponding(TPollTick& tick, bool stopTried, bool firingShown) {
    tick.Outcome = TPollTick::TOutcome::NotResponding;
    // A laser whose status cannot be read (garbled, or the line broken) may
    // still be firing, by the operator's hand or a mailbox client's: it is
    // told to stop before it is given up. A stop that failed here (the
    // fault's own included) is owed.
    if (stopTried || firingShown || (FLastStatus & lsFire) != 0) {
        tick.FiringEnded = true;
        FStopOwed = stopTried;
        if (!stopTried) {
            try {
                FLaser.StopFiring();
            } catch (const std::exception&) {
                // The line does not carry it now; it goes out again once the
                // laser is found.
                FStopOwed = true;
            }
        }
    }
    FLaser.GiveUp();
}

bool TSafetyPoll::ServeMailbox() {
    if (!FMessenger)
        return false;
    if (!FMessenger->HasMessage()) {
        // A client that died without giving its box back would keep every
        // later one out.
        FMessenger->FreeStaleBoxes();
        return false;
    }
    const TFireMode mode = FLaser.FireMode();
    const QByteArray request = FMessenger->Receive();
    QByteArray reply;
    if (!request.isEmpty()) {
        try {
            reply = FLaser.SendCommand(request, true);
        } catch (...) {
            // The client gets the laser's own error reply ("?1"), or nothing
            // when nothing came back.
            reply = FLaser.Reply();
        }
    }
    FMessenger->Send(reply);
    return FLaser.FireMode() != mode;
}

void TSafetyPoll::LaserFound() {
    if (FStopOwed) {
        // A laser that was firing when its line broke may still be.
        try {
            FLaser.StopFiring();
            FStopOwed = false;
        } catch (const std::exception&) {
            // Owed until the next discovery.
        }
    }
}
