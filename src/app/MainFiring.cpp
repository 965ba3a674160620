// The supply switch, firing, the firing mode and rate, and the menu commands.
#include "app/LCMain.h"

#include "app/BurstPlan.h"
#include "app/HelpViewer.h"
#include "app/Rounding.h"
#include "app/ToolBar.h"
#include "controls/Animate.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

void TformMain::ApplyLaserEnabled(bool on) {
    FLaser->SetLaserEnabled(on);
    // The switch shows what the laser reports, not what was clicked.
    btnLaserOnOff->SetOn(FLaser->LaserEnabled());
}

void TformMain::btnLaserOnOffClick() {
    ApplyLaserEnabled(!FLaser->LaserEnabled());
}

void TformMain::SetFiring(bool on) {
    if (!on) {
        FLaser->StopFiring();
        FireButtonAtRest();
        return;
    }
    FFiringFromStatus = false;
    const int frames = animLaser->FrameCount();
    switch (FLaser->FireMode()) {
    case fmContinuous:
        btnLaserFire->SetDown(true);
        if (frames > 0)
            animLaser->Play(1, frames, 0);
        SetButtonCaption(btnLaserFire, QStringLiteral("Stop"));
        break;
    case fmOneShot:
        btnLaserFire->SetDown(false);
        break;
    case fmBurst: {
        const TBurstPlan plan =
            PlanBurst(FLaser->BurstCount(), FLaser->RepRate(), frames, animLaser->FrameRate());
        if (plan.Passes == 0) {
            btnLaserFire->SetDown(false);
        } else {
            timerAnimationDone->setInterval(plan.TimerMs);
            timerAnimationDone->start();
            SetButtonCaption(btnLaserFire, QStringLiteral("Stop"));
            animLaser->Play(1, frames, plan.Passes);
        }
        break;
    }
    }
    FLaser->StartFiring();
}

void TformMain::btnLaserFireClick() {
    SetFiring(btnLaserFire->Down());
}

void TformMain::timerAnimationDoneTimer() {
    timerAnimationDone->stop();
    // The laser ends the burst by itself; only the window catches up.
    if (FLaser->FireMode() == fmBurst && btnLaserFire->Down()) {
        animLaser->Seek(1);
        btnLaserFire->SetDown(false);
        SetButtonCaption(btnLaserFire, QStringLiteral("Fire"));
    }
}

void TformMain::ApplyFireMode(TFireMode mode) {
    FLaser->SetFireMode(mode);
    ShowFireMode();
}

void TformMain::ShowFireMode() {
    const bool rateEnabled = FLaser->FireMode() != fmOneShot && tbMainLaser->isEnabled();
    switch (FLaser->FireMode()) {
    case fmContinuous:
        SetDropCaption(btnLaserMode, menuLaserModeCont->text());
        CheckMenuItem(menuLaserModeCont);
        break;
    case fmOneShot:
        SetDropCaption(btnLaserMode, menuLaserMode1Shot->text());
        CheckMenuItem(menuLaserMode1Shot);
        animLaser->Stop();
        break;
    case fmBurst:
        SetDropCaption(btnLaserMode, menuLaserModeBurst->text() +
                                         QString::asprintf(" (%d)", FLaser->BurstCount()));
        CheckMenuItem(menuLaserModeBurst);
        break;
    }
    btnRepRate->setEnabled(rateEnabled);
    updownRate->SetEnabled(rateEnabled);
    SetButtonCaption(btnRepRate, QString::asprintf("%d Hz", FLaser->RepRate()));
    btnLaserMode->SetGlyphFromImages(imglstMenus, int(FLaser->FireMode()), QSize(24, 24));
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
    SetButtonCaption(btnRepRate, QString::asprintf("%d Hz", FLaser->RepRate()));
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
    THelpViewer::Instance()->ShowContext(HelpContext);
}

void TformMain::menuConfigureClick() {}

void TformMain::Exit1Click() {
    Terminate();
}

void TformMain::PlaceholderClick(const QString& what) {
    FDialogs->MessageBox(what + QStringLiteral(" comes with a later version of Trevalon."),
                         windowTitle(), TMsgButtons::mbOK, TMsgIcon::miInformation);
}
