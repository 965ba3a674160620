// The poll: four times a second the safety poll reads the laser, stops
// firing on a fault, answers one mailbox request and reads one read-out;
// the window shows what it found and asks the operator where it must.
#include "app/LCMain.h"

#include "app/StatMgr.h"
#include "app/toolbars/FiringRow.h"
#include "app/toolbars/StatusPanel.h"
#include "controls/ExceptionDisplay.h"
#include "laser/CVLaser.h"
#include "session/SafetyPoll.h"

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
    FGate.RunAlways([this] { PollLaser(); });
}

void TformMain::PollLaser() {
    if (FTerminating) {
        timerPollLaser->stop();
        return;
    }
    const TPollTick tick = FPoll->Tick(FFiringRow->FireButtonDown());
    if (tick.FiringEnded)
        FFiringRow->FireButtonAtRest();
    if (tick.Outcome == TPollTick::TOutcome::NotResponding) {
        timerPollLaser->stop();
        if (FDialogs->MessageBox(QStringLiteral("Laser not responding"), QStringLiteral("ERROR"),
                                 TMsgButtons::mbRetryCancel,
                                 TMsgIcon::miExclamation) == TMsgResult::mrRetry)
            PostLaserInit();
        else
            Terminate();
        return;
    }

    const TLaserStatus status = tick.Status;
    FFiringRow->SetSupplyEnabled((status & lsOkToStart) != 0);
    FFiringRow->ShowSupply((status & (lsOn | lsStart)) != 0);
    FFiringRow->SetFireEnabled(tick.CanFire);
    if ((status & lsFire) == 0)
        FFiringRow->StopAnimation();
    // Firing another program started shows on the fire button, unless a
    // fault has just stopped it.
    const TLaserStatus faults = status & TSafetyPoll::FaultMask;
    if (faults == 0 || faults == lsStart)
        FFiringRow->MirrorFiring((status & lsFire) != 0, FLaser->FireMode());
    UpdateIndicators(status);
    if (tick.FireModeChanged)
        ShowFireMode();
    if (FStatMgr)
        FStatMgr->Show(tick.Readout);

    if (tick.Outcome == TPollTick::TOutcome::ResetFailure) {
        timerPollLaser->stop();
        if (FDialogs->MessageBox(QStringLiteral("Laser Supply Reset Failure! Press OK to "
                                                "attempt to \rrestart laser, Cancel to abort"),
                                 QStringLiteral("FAILURE"), TMsgButtons::mbOKCancel,
                                 TMsgIcon::miExclamation) == TMsgResult::mrOK)
            PostLaserInit();
        else
            Terminate();
    } else if (tick.Refusal) {
        // The laser refused the fault stop: told once per episode, with the
        // poll still running.
        ShowException(*tick.Refusal);
    }
}

void TformMain::UpdateIndicators(TLaserStatus status) {
    FStatusPanel->UpdateIndicators(status);
}
