#include "app/toolbars/FiringRow.h"

#include "app/HelpContext.h"
#include "app/toolbars/BarControls.h"
#include "app/toolbars/CaptionGlyph.h"
#include "app/toolbars/MainMenus.h"
#include "app/toolbars/MenuImages.h"
#include "app/toolbars/ToolBar.h"
#include "controls/Animate.h"
#include "controls/ExceptionDisplay.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "laser/CVLaser.h"

#include <QMenu>
#include <QTimer>

using namespace bars;

namespace {

const QSize GlyphSize(24, 24);

TMenuImage ModeImage(TFireMode mode) {
    switch (mode) {
    case fmOneShot:
        return miSingleShot;
    case fmBurst:
        return miBurst;
    case fmContinuous:
        break;
    }
    return miContinuous;
}

} // namespace

TFiringRow::TFiringRow(TToolBar* bar, TMainMenus& menus, const THandlers& handlers)
    : FMenus(menus) {
    btnLaserOnOff = new TSwitch(bar);
    btnLaserOnOff->setObjectName(QStringLiteral("btnLaserOnOff"));
    btnLaserOnOff->SetHint(QStringLiteral("Laser power supply enable switch"));
    btnLaserOnOff->SetCaption(QStringLiteral("Supply"));
    SetAccessible(btnLaserOnOff, btnLaserOnOff->Caption());
    SetHelpContext(btnLaserOnOff, hcSupplySwitch);
    btnLaserOnOff->resize(qMax(40, btnLaserOnOff->sizeHint().width()), RowHeight);
    btnLaserOnOff->SetOnClick(handlers.btnLaserOnOffClick);
    sep1 = MakeSeparator(bar, "sep1");

    btnLaserMode = MakeDropButton(bar, "btnLaserMode", QStringLiteral("Firing mode"),
                                  QStringLiteral("Continuous"),
                                  QStringLiteral("Set laser firing mode\r\n(Right-click to "
                                                 "change burst count)"),
                                  menus.Modes(), QStringLiteral("Single Shot"));
    btnLaserMode->SetDropHint(QStringLiteral("Select firing mode from list"));
    btnLaserMode->SetPopupMenu(menus.ModeProps());
    btnLaserMode->BtnMain()->SetGroupIndex(0);
    btnLaserMode->SetWidth(
        qMax(btnLaserMode->width(), TextWidth(btnLaserMode, QStringLiteral("Burst (4000)")) + 26));
    SetHelpContext(btnLaserMode, hcFireMode);
    btnLaserMode->SetOnClick(handlers.btnLaserModeClick);
    sep2 = MakeSeparator(bar, "sep2");

    btnRepRate = MakeButton(bar, "btnRepRate", QStringLiteral("rate ?"),
                            QStringLiteral("Change laser firing rate"), QStringLiteral("20000 Hz"));
    SetCaptionGlyph(btnRepRate, QStringLiteral("Rate"));
    btnRepRate->SetOnClick(handlers.btnRepRateClick);
    updownRate = MakeUpDown(bar, "updownRate", QStringLiteral("Adjust laser rate"), hcRepRate);
    PairArrows(btnRepRate, updownRate);
    updownRate->SetOnUpClick(handlers.updownRateUpClick);
    updownRate->SetOnDownClick(handlers.updownRateDownClick);

    btnPulseWidth =
        MakeDropButton(bar, "btnPulseWidth", QStringLiteral("Pulse width"), QStringLiteral("Pulse"),
                       QString(), menus.PulseWidths(), QStringLiteral("Pulse"));
    btnPulseWidth->SetGroupIndex(1);
    btnPulseWidth->SetAllowAllUp(true);
    btnPulseWidth->SetGlyphFromImages(menus.Images(), miShortPulse, GlyphSize);
    // The caption stays "Pulse"; the picture, and so the name, says which.
    SetAccessible(btnPulseWidth->BtnMain(), menus.PulseWidthText(false));
    btnPulseWidth->SetOnClick(handlers.btnPulseWidthClick);
    sep10 = MakeSeparator(bar, "sep10");
    // The first row ends at sep10, which only a laser with the pulse width
    // shows; without it the rows fill to the window's width.
    bar->SetRowBreak(sep10);

    btnLaserFire =
        MakeButton(bar, "btnLaserFire", QStringLiteral("Fire"),
                   QStringLiteral("Fire the laser\r\nEscape stops firing"), QStringLiteral("Stop"));
    btnLaserFire->SetGroupIndex(1);
    btnLaserFire->SetAllowAllUp(true);
    btnLaserFire->SetGlyph(FireGlyph());
    btnLaserFire->SetGlyphSize(QSize(28, 28));
    btnLaserFire->SetNumGlyphs(4);
    btnLaserFire->SetLayout(TButtonLayout::blGlyphTop);
    btnLaserFire->SetSpacing(0);
    btnLaserFire->resize(qMax(btnLaserFire->width(), 56), RowHeight);
    btnLaserFire->SetOnClick(handlers.btnLaserFireClick);

    animLaser = new TAnimate(bar);
    animLaser->setObjectName(QStringLiteral("animLaser"));
    animLaser->SetColor(Qt::black);
    animLaser->SetHint(QStringLiteral("Animation plays when laser is firing"));
    SetAccessible(animLaser, QString());
    animLaser->resize(animLaser->sizeHint().width() + 4, RowHeight);

    timerAnimationDone = new QTimer(bar);
    timerAnimationDone->setObjectName(QStringLiteral("timerAnimationDone"));
    timerAnimationDone->setSingleShot(true);
    timerAnimationDone->setTimerType(Qt::PreciseTimer);
    QObject::connect(timerAnimationDone, &QTimer::timeout, bar,
                     [done = handlers.timerAnimationDoneTimer] { RunShowingExceptions(done); });
}

void TFiringRow::PlaceLead(TRowPlacer& firstRow) {
    for (QWidget* control :
         {static_cast<QWidget*>(btnLaserOnOff), sep1, static_cast<QWidget*>(btnLaserMode), sep2,
          static_cast<QWidget*>(btnRepRate), static_cast<QWidget*>(updownRate)})
        firstRow.Put(control);
}

void TFiringRow::PlacePulseWidth(TRowPlacer& firstRow) {
    firstRow.Put(btnPulseWidth);
    firstRow.Put(sep10);
}

void TFiringRow::PlaceFire(TRowPlacer& secondRow) {
    secondRow.Put(btnLaserFire, 4);
    secondRow.Put(animLaser, 4);
}

void TFiringRow::LayoutFor(const TCVLaser&, bool pulseWidthOffered) {
    btnPulseWidth->setHidden(!pulseWidthOffered);
    sep10->setHidden(!pulseWidthOffered);
}

void TFiringRow::ShowSupply(bool on) {
    btnLaserOnOff->SetOn(on);
}

void TFiringRow::SetSupplyEnabled(bool enabled) {
    btnLaserOnOff->setEnabled(enabled);
}

void TFiringRow::ShowFireMode(TFireMode mode, int burstCount, int rate, bool rateEnabled) {
    QString caption = FMenus.FireModeText(mode);
    if (mode == fmBurst)
        caption += QString::asprintf(" (%d)", burstCount);
    SetDropCaption(btnLaserMode, caption);
    FMenus.CheckFireMode(mode);
    if (mode == fmOneShot)
        animLaser->Stop();
    btnRepRate->setEnabled(rateEnabled);
    updownRate->SetEnabled(rateEnabled);
    ShowRepRate(rate);
    btnLaserMode->SetGlyphFromImages(FMenus.Images(), ModeImage(mode), GlyphSize);
}

void TFiringRow::ShowRepRate(int rate) {
    SetButtonCaption(btnRepRate, QString::asprintf("%d Hz", rate));
}

void TFiringRow::ShowPulseWidth(bool longPulse) {
    btnPulseWidth->SetGlyphFromImages(FMenus.Images(), longPulse ? miLongPulse : miShortPulse,
                                      GlyphSize);
    SetAccessible(btnPulseWidth->BtnMain(), FMenus.PulseWidthText(longPulse));
    FMenus.CheckPulseWidth(longPulse);
}

bool TFiringRow::FireButtonDown() const {
    return btnLaserFire->Down();
}

void TFiringRow::SetFireEnabled(bool enabled) {
    btnLaserFire->setEnabled(enabled);
}

void TFiringRow::ShowFiringContinuously() {
    FFiringFromStatus = false;
    btnLaserFire->SetDown(true);
    if (animLaser->FrameCount() > 0)
        animLaser->Play(1, animLaser->FrameCount(), 0);
    SetButtonCaption(btnLaserFire, QStringLiteral("Stop"));
}

void TFiringRow::ShowOneShot() {
    FFiringFromStatus = false;
    btnLaserFire->SetDown(false);
}

void TFiringRow::ShowBurst(const TBurstPlan& plan) {
    FFiringFromStatus = false;
    if (plan.Passes == 0) {
        btnLaserFire->SetDown(false);
        return;
    }
    timerAnimationDone->setInterval(plan.TimerMs);
    timerAnimationDone->start();
    SetButtonCaption(btnLaserFire, QStringLiteral("Stop"));
    animLaser->Play(1, animLaser->FrameCount(), plan.Passes);
}

void TFiringRow::BurstTimerDone(TFireMode mode) {
    timerAnimationDone->stop();
    // The laser ends the burst by itself; only the window catches up.
    if (mode == fmBurst && btnLaserFire->Down()) {
        FireButtonAtRest();
        animLaser->Seek(1);
    }
}

void TFiringRow::FireButtonAtRest() {
    FFiringFromStatus = false;
    animLaser->Stop();
    btnLaserFire->SetDown(false);
    SetButtonCaption(btnLaserFire, QStringLiteral("Fire"));
}

void TFiringRow::MirrorFiring(bool firing, TFireMode mode) {
    if (firing && mode == fmContinuous && !btnLaserFire->Down()) {
        ShowFiringContinuously();
        FFiringFromStatus = true;
    } else if (FFiringFromStatus && !firing) {
        FireButtonAtRest();
    }
}

void TFiringRow::StopAnimation() {
    animLaser->Stop();
}
