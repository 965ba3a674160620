// The poll: four times a second the laser's status is mirrored into the
// window, firing is stopped on a fault, one mailbox request is answered and
// one status-bar read-out refreshed.
#include "app/LCMain.h"

#include "app/StatMgr.h"
#include "controls/Animate.h"
#include "controls/ExceptionDisplay.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/Switch.h"
#include "ipc/IPCMessenger.h"
#include "laser/CVLaser.h"
#include "laser/LaserError.h"

#include <optional>

#include <QTimer>

bool TformMain::TickMayRun() const {
    // The one rule for when a tick runs. It runs inside every wait that
    // processes events and holds no laser exchange: the operator's prompts,
    // message boxes (a handler's, the exception display's), file dialogs,
    // the about box and the version check's download. It does not run
    // - while the laser object is reaching the laser: the relay connect wait
    //   of an exchange, a discovery or a port being opened processes events,
    //   and a second exchange started there would mix two replies;
    // - while the timer is off, which covers discovery, the terminal window
    //   and the two boxes of a lost laser and a supply reset failure;
    // - once the window is closing.
    return !FCloseRequested && !FDestroying && !FLaser->Busy();
}

void TformMain::timerPollLaserTimer() {
    if (!TickMayRun())
        return;
    // Counted as a handler: the operator's clicks wait, and a discovery or a
    // close asked for inside the tick runs once it has returned.
    ++FBusy;
    RunShowingExceptions([this] { PollLaser(); });
    --FBusy;
    AfterHandlers();
}

void TformMain::PollLaser() {
    if (FTerminating) {
        timerPollLaser->stop();
        return;
    }
    TLaserStatus status = 0;
    try {
        status = FLaser->GetStatus();
    } catch (const std::exception&) {
        LaserNotResponding(false);
        return;
    }
    FLastStatus = status;
    const bool fault = (status & FaultMask) != 0;
    btnLaserOnOff->setEnabled((status & lsOkToStart) != 0);
    btnLaserOnOff->SetOn((status & (lsOn | lsStart)) != 0);

    // The laser may refuse the fire button's check ("LT?" once a reset
    // failure cleared the identification) or the fault stop with an error
    // reply. It answered, so the poll goes on and "ST" is sent again on the
    // next tick; the operator hears of it once per episode, after this
    // tick's work. Any other failure means the laser is not answering.
    std::optional<ELaserError> refused;
    const auto refusal = [this, &refused](const ELaserError& error) {
        if (!IsErrorReply(FLaser->Reply()))
            return false;
        if (!refused)
            refused = error;
        return true;
    };
    bool stopTried = false;
    try {
        bool canFire = false;
        try {
            canFire = FLaser->CanFire(status);
        } catch (const ELaserError& error) {
            if (!refusal(error))
                throw;
        }
        btnLaserFire->setEnabled(canFire);
        if ((status & lsFire) == 0)
            animLaser->Stop();
        // START alone is a laser warming up, not a fault to stop for.
        if (fault && (status & FaultMask) != lsStart) {
            stopTried = true;
            try {
                SetFiring(false);
            } catch (const ELaserError& error) {
                if (!refusal(error))
                    throw;
            }
        } else {
            MirrorFiring(status);
        }
    } catch (const std::exception&) {
        LaserNotResponding(stopTried);
        return;
    }
    UpdateIndicators(status);

    const bool resetFailure = (status & lsReset) != 0;
    if (resetFailure) {
        timerPollLaser->stop();
        if (FDialogs->MessageBox(QStringLiteral("Laser Supply Reset Failure! Press OK to "
                                                "attempt to \rrestart laser, Cancel to abort"),
                                 QStringLiteral("FAILURE"), TMsgButtons::mbOKCancel,
                                 TMsgIcon::miExclamation) == TMsgResult::mrOK)
            PostLaserInit();
        else
            Terminate();
    }
    ServiceIPC();
    if (FStatMgr)
        FStatMgr->UpdateNext();
    if (resetFailure)
        FLaser->GiveUp();

    if (!refused) {
        FStopRefusalShown = false;
    } else if (!FStopRefusalShown) {
        FStopRefusalShown = true;
        // The reset failure's box has told the operator already.
        if (!resetFailure)
            ShowException(*refused);
    }
}

void TformMain::LaserNotResponding(bool stopTried) {
    timerPollLaser->stop();
    // A laser whose status cannot be read (garbled, or the line broken) may
    // still be firing, by the operator's hand or a mailbox client's: it is
    // told to stop before anyone is asked. A stop that failed here (the
    // fault's own included) is owed.
    if (stopTried || btnLaserFire->Down() || (FLastStatus & lsFire) != 0)
        StopFiringAfterFault(!stopTried);
    FLaser->GiveUp();
    if (FDialogs->MessageBox(QStringLiteral("Laser not responding"), QStringLiteral("ERROR"),
                             TMsgButtons::mbRetryCancel,
                             TMsgIcon::miExclamation) == TMsgResult::mrRetry)
        PostLaserInit();
    else
        Terminate();
}

void TformMain::StopFiringAfterFault(bool sendStop) {
    FStopPending = !sendStop;
    if (sendStop) {
        try {
            FLaser->StopFiring();
        } catch (const std::exception&) {
            // The line does not carry it now; the operator is told that the
            // laser is not responding, and the stop goes out again once the
            // laser is found.
            FStopPending = true;
        }
    }
    FireButtonAtRest();
}

void TformMain::MirrorFiring(TLaserStatus status) {
    const bool firing = (status & lsFire) != 0;
    if (firing && FLaser->FireMode() == fmContinuous && !btnLaserFire->Down()) {
        FFiringFromStatus = true;
        btnLaserFire->SetDown(true);
        SetButtonCaption(btnLaserFire, QStringLiteral("Stop"));
        if (animLaser->FrameCount() > 0)
            animLaser->Play(1, animLaser->FrameCount(), 0);
    } else if (FFiringFromStatus && !firing) {
        FireButtonAtRest();
    }
}

void TformMain::FireButtonAtRest() {
    FFiringFromStatus = false;
    animLaser->Stop();
    btnLaserFire->SetDown(false);
    SetButtonCaption(btnLaserFire, QStringLiteral("Fire"));
}

void TformMain::UpdateIndicators(TLaserStatus status) {
    indStart->SetEnabled((status & lsStart) != 0);
    indFlow->SetEnabled((status & lsFlow) != 0);
    indTemp->SetEnabled((status & lsTemp) != 0);
    indExt->SetEnabled((status & lsExt) != 0);
    indWork->SetEnabled((status & lsWork) != 0);
    indBurstLock->SetEnabled((status & lsBurstLock) != 0);
    indCoolantLow->SetEnabled((status & lsCoolantLow) != 0);
}

void TformMain::ServiceIPC() {
    if (!FMessenger)
        return;
    if (!FMessenger->HasMessage()) {
        // A client that died without giving its box back would keep every
        // later one out.
        FMessenger->FreeStaleBoxes();
        return;
    }
    const TFireMode mode = FLaser->FireMode();
    const QByteArray request = FMessenger->Receive();
    QByteArray reply;
    if (!request.isEmpty()) {
        try {
            reply = FLaser->SendCommand(request, true);
        } catch (...) {
            // The client gets the laser's own error reply ("?1"), or nothing
            // when nothing came back.
            reply = FLaser->Reply();
        }
    }
    FMessenger->Send(reply);
    // A client changed the firing mode ("MO0"): the window shows it.
    if (FLaser->FireMode() != mode)
        ShowFireMode();
}
