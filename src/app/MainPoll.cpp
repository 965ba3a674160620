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

#include <QTimer>

void TformMain::timerPollLaserTimer() {
    // A tick that arrives while a handler is at work (its dialog open, a
    // relay connect wait) is skipped: the laser is busy with that handler.
    if (FBusy > 0 || FCloseRequested || FDestroying)
        return;
    ++FBusy;
    RunShowingExceptions([this] {
        if (FTerminating) {
            timerPollLaser->stop();
            return;
        }
        TLaserStatus status = 0;
        bool stopTried = false;
        try {
            status = FLaser->GetStatus();
            FLastStatus = status;
            const bool fault = (status & FaultMask) != 0;
            btnLaserOnOff->setEnabled((status & lsOkToStart) != 0);
            btnLaserOnOff->SetOn((status & (lsOn | lsStart)) != 0);
            btnLaserFire->setEnabled(FLaser->CanFire(status));
            if ((status & lsFire) == 0)
                animLaser->Stop();
            // START alone is a laser warming up, not a fault to stop for.
            if (fault && (status & FaultMask) != lsStart) {
                stopTried = true;
                SetFiring(false);
            }
            UpdateIndicators(status);
        } catch (const std::exception&) {
            // Whatever failed in the exchange of this tick (the status, the
            // stop command, a type query), the laser is not answering.
            timerPollLaser->stop();
            // A laser whose status cannot be read (garbled, or the line
            // broken) may still be firing, by the operator's hand or a
            // mailbox client's: it is told to stop before anyone is asked.
            // A stop that failed here (the fault's own included) is owed.
            if (stopTried || btnLaserFire->Down() || (FLastStatus & lsFire) != 0)
                StopFiringAfterFault(!stopTried);
            if (FDialogs->MessageBox(QStringLiteral("Laser not responding"),
                                     QStringLiteral("ERROR"), TMsgButtons::mbRetryCancel,
                                     TMsgIcon::miExclamation) == TMsgResult::mrRetry)
                PostLaserInit();
            else
                Terminate();
            return;
        }
        if (status & lsReset) {
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
    });
    --FBusy;
    AfterHandlers();
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
    if (!FMessenger || !FMessenger->HasMessage())
        return;
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
}
