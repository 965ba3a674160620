// The supply switch, firing, the firing mode and rate, and the menu commands.
#include "app/LCMain.h"

#include "app/HelpContext.h"
#include "app/HelpViewer.h"
#include "app/toolbars/FiringRow.h"
#include "app/toolbars/ToolBar.h"
#include "controls/Animate.h"
#include "laser/CVLaser.h"
#include "session/BurstPlan.h"
#include "session/Rounding.h"

#include <QApplication>
#include <QTimer>

void TformMain::ApplyLaserEnabled(bool on) {
    FLaser->SetLaserEnabled(on);
    // The switch shows what the laser reports, not what was clicked.
    FFiringRow->ShowSupply(FLaser->LaserEnabled());
}

void TformMain::btnLaserOnOffClick() {
    ApplyLaserEnabled(!FLaser->LaserEnabled());
}

void TformMain::SetFiring(bool on) {
    if (!on) {
        FLaser->StopFiring();
        FFiringRow->FireButtonAtRest();
        return;
    }
    switch (FLaser->FireMode()) {
    case fmContinuous:
        FFiringRow->ShowFiringContinuously();
        break;
    case fmOneShot:
        FFiringRow->ShowOneShot();
        break;
    case fmBurst: {
        const TAnimate* clip = FFiringRow->Animation();
        FFiringRow->ShowBurst(PlanBurst(FLaser->BurstCount(), FLaser->RepRate(), clip->FrameCount(),
                                        clip->FrameRate()));
        break;
    }
    }
    FLaser->StartFiring();
}

void TformMain::btnLaserFireClick() {
    SetFiring(FFiringRow->FireButtonDown());
}

void TformMain::shortcutStopActivated() {
    // Firing shows as the fire button held down (continuous firing, a
    // burst long enough to animate); with nothing shown firing the key
    // sends nothing.
    if (FFiringRow->FireButtonDown())
        SetFiring(false);
}

void TformMain::timerAnimationDoneTimer() {
    FFiringRow->BurstTimerDone(FLaser->FireMode());
}

void TformMain::ApplyFireMode(TFireMode mode) {
    FLaser->SetFireMode(mode);
    ShowFireMode();
}

void TformMain::ShowFireMode() {
    // The rate controls follow the toolbar's enabling, except in one-shot.
    const bool rateEnabled = FLaser->FireMode() != fmOneShot && tbMainLaser->isEnabled();
    FFiringRow->ShowFireMode(FLaser->FireMode(), FLaser->BurstCount(), FLaser->RepRate(),
                             rateEnabled);
}

void TformMain::btnLaserModeClick() {
    const int next = int(FLaser->FireMode()) + 1;
    ApplyFireMode(TFireMode(next > fmBurst ? fmContinuous : next));
}

void TformMain::menuLaserModeContClick() {
    ApplyFireMode(fmContinuous);
}

void TformMain::menuLaserMode1ShotClick() {
    ApplyFireMode(fmOneShot);
}

void TformMain::menuLaserModeBurstClick() {
    ApplyFireMode(fmBurst);
}

void TformMain::menuLaserModeBurstShotsClick() {
    const QString text = FDialogs->InputBox(
        QStringLiteral("Pulses per Burst"),
        QStringLiteral("Enter number of pulses per burst (1 - %1):").arg(FLaser->MaxBurstCount()),
        QString::number(FLaser->BurstCount()));
    // Every failure here is silent: text that is no number, a laser error.
    try {
        bool ok = false;
        const int pulses = text.trimmed().toInt(&ok);
        if (!ok)
            return;
        FLaser->SetBurstCount(pulses);
        ApplyFireMode(FLaser->FireMode());
    } catch (...) {
        // Except a laser given up while the prompt was open.
        if (FLaser->GivenUp())
            throw;
    }
}

void TformMain::ApplyRepRate(float rate) {
    const int rounded = RoundHalfEven(double(rate));
    if (rounded != FLaser->RepRate())
        FLaser->SetRepRate(rounded);
    FFiringRow->ShowRepRate(FLaser->RepRate());
}

void TformMain::btnRepRateClick() {
    // The laser clamps what is out of its range; only non-integers are refused.
    PromptInteger(QStringLiteral("Set Laser Rate"),
                  QStringLiteral("Enter rate (%1 to %2Hz):")
                      .arg(FLaser->MinRepRate())
                      .arg(FLaser->MaxRepRate()),
                  FLaser->RepRate(), INT_MIN, INT_MAX,
                  [this](int rate) { ApplyRepRate(float(rate)); });
}

void TformMain::updownRateUpClick() {
    ApplyRepRate(float(FLaser->RepRate()) + float(FLaser->RepRateUnit()));
}

void TformMain::updownRateDownClick() {
    ApplyRepRate(float(FLaser->RepRate()) - float(FLaser->RepRateUnit()));
}

void TformMain::menuInitialize1Click() {
    InitializeLaser();
}

void TformMain::menuNetworkConnectClick() {
    const QString host =
        FDialogs->InputBox(QStringLiteral("Network Connection"),
                           QStringLiteral("Enter the name of the host computer"), QString());
    if (host.isEmpty())
        return;
    FLaser->SetPortNumber(0);
    timerPollLaser->stop();
    ShowStatus(QStringLiteral("Connecting over network..."));
    // A refused address must not leave the window unpolled with its controls
    // enabled and "Connecting over network..." showing: the error is shown
    // and discovery runs all the same.
    try {
        FLaser->SetNetworkConnection(host);
    } catch (const std::exception& error) {
        ShowError(error);
    }
    InitializeLaser();
}

void TformMain::menuHelpContentsClick() {
    THelpViewer::Instance()->ShowContext(hcMainWindow);
}

void TformMain::menuConfigureClick() {}

void TformMain::Exit1Click() {
    Terminate();
}
