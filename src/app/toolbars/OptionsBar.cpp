#include "app/toolbars/OptionsBar.h"

#include "app/HelpContext.h"
#include "app/toolbars/BarControls.h"
#include "app/toolbars/CaptionGlyph.h"
#include "app/toolbars/CtrlMgr.h"
#include "app/toolbars/MainMenus.h"
#include "app/toolbars/MenuImages.h"
#include "app/toolbars/ToolBar.h"
#include "controls/Accessibility.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxEnabler.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "laser/CVLaser.h"

#include <QFrame>
#include <QLineEdit>

using namespace bars;

namespace {

QString PercentCaption(float percent) {
    return QString::asprintf("%.1f%%", double(percent));
}

// The adjuster shows `value` without raising its change event.
void WriteQuietly(TKxAdjuster* adjuster, float value) {
    const bool loading = adjuster->Loading();
    adjuster->SetLoading(true);
    adjuster->SetValue(value);
    adjuster->SetLoading(loading);
}

} // namespace

TOptionsBar::TOptionsBar(QObject* owner, TMainMenus& menus, const THandlers& handlers)
    : FMenus(menus) {
    tbOptions = new TToolBar;
    tbOptions->setObjectName(QStringLiteral("tbOptions"));
    tbOptions->setAccessibleName(QStringLiteral("Options"));
    tbOptions->SetRowHeight(RowHeight);
    QWidget* bar = tbOptions;

    btnWavelength =
        MakeDropButton(bar, "btnWavelength", QStringLiteral("Wavelength"),
                       QStringLiteral("Wavelength"), QStringLiteral("Select laser wavelength"),
                       menus.Wavelengths(), QStringLiteral("Wavelength"));
    btnWavelength->BtnMain()->SetGroupIndex(0);
    SetHelpContext(btnWavelength, hcWavelength);
    btnWavelength->SetOnClick(handlers.btnWavelengthClick);
    sep6 = MakeSeparator(bar, "sep6");

    panelMarker = new QFrame(bar);
    panelMarker->setObjectName(QStringLiteral("panelMarker"));
    panelMarker->setFrameShape(QFrame::Panel);
    panelMarker->setFrameShadow(QFrame::Sunken);
    SetHelpContext(panelMarker, hcAperture);
    SetAccessibleRole(panelMarker, QAccessible::Grouping);
    panelMarker->setAccessibleName(QStringLiteral("Aperture"));
    // `label` says what the adjuster sets, where its caption ("Width") leans
    // on the panel around it.
    const auto makeAdjuster = [&](const char* name, const QString& caption, const QString& label,
                                  const QString& hint, int left, int width) {
        auto* adjuster = new TKxAdjuster(panelMarker);
        adjuster->setObjectName(QLatin1String(name));
        adjuster->SetBounds(left, 7, width, 34);
        adjuster->SetCaption(caption);
        adjuster->SetFormatString(QStringLiteral("%.2f"));
        adjuster->SetIncrement(1);
        adjuster->SetMax(100);
        adjuster->SetUnitsString(QStringLiteral("%"));
        adjuster->SetHint(hint);
        adjuster->setAccessibleName(label);
        adjuster->setAccessibleDescription(hint);
        adjuster->EditValue()->setAccessibleName(label);
        adjuster->EditValue()->setAccessibleDescription(hint);
        adjuster->BtnUp()->setAccessibleName(label + QStringLiteral(" up"));
        adjuster->BtnDown()->setAccessibleName(label + QStringLiteral(" down"));
        adjuster->SetOnValueChange(handlers.adjAperValueChange);
        return adjuster;
    };
    adjAperWidth =
        makeAdjuster("adjAperWidth", QStringLiteral("Width"), QStringLiteral("Aperture width"),
                     QStringLiteral("Laser aperture width"), 4, 65);
    adjAperHeight =
        makeAdjuster("adjAperHeight", QStringLiteral("Height"), QStringLiteral("Aperture height"),
                     QStringLiteral("Laser aperture height"),
                     qMax(79, adjAperWidth->x() + adjAperWidth->width() + 10), 62);
    btnMarkerLight = new TKxSpeedButton(panelMarker);
    btnMarkerLight->setObjectName(QStringLiteral("btnMarkerLight"));
    btnMarkerLight->SetCaption(QStringLiteral("Light"));
    btnMarkerLight->hide();
    panelMarker->resize(adjAperHeight->x() + adjAperHeight->width() + 4, RowHeight - 2);
    sep7 = MakeSeparator(bar, "sep7");

    btnXYShutterRotation =
        MakeButton(bar, "btnXYShutterRotation", QStringLiteral("Rotation"),
                   QStringLiteral("Change XY Shutter Rotation"), QStringLiteral("Rotation"));
    SetCaptionGlyph(btnXYShutterRotation, QStringLiteral("Rotation"));
    btnXYShutterRotation->SetOnClick(handlers.btnXYShutterRotationClick);
    updownTheta = MakeUpDown(bar, "updownTheta",
                             QStringLiteral("Adjust XY Shutter Rotation angle from -90 to 90."),
                             hcVoltageAndAngles);
    updownTheta->SetOnUpClick(handlers.updownThetaUpClick);
    updownTheta->SetOnDownClick(handlers.updownThetaDownClick);
    PairArrows(btnXYShutterRotation, updownTheta);
    btnRotatingPolarizer =
        MakeButton(bar, "btnRotatingPolarizer", QStringLiteral("Polarization"),
                   QStringLiteral("Change polarization rotation"), QStringLiteral("Polarization"));
    SetCaptionGlyph(btnRotatingPolarizer, QStringLiteral("Polarizer"));
    btnRotatingPolarizer->SetOnClick(handlers.btnRotatingPolarizerClick);
    updownRotatingPolarizer = MakeUpDown(
        bar, "updownRotatingPolarizer",
        QStringLiteral("Adjust polarization angle from -180 to 180."), hcVoltageAndAngles);
    updownRotatingPolarizer->SetOnUpClick(handlers.updownRotatingPolarizerUpClick);
    updownRotatingPolarizer->SetOnDownClick(handlers.updownRotatingPolarizerDownClick);
    PairArrows(btnRotatingPolarizer, updownRotatingPolarizer);
    sep9 = MakeSeparator(bar, "sep9");

    btnLED = MakeButton(bar, "btnLED", QStringLiteral("LED ?"),
                        QStringLiteral("Set Illuminator Brightness"), QStringLiteral("100.0%"));
    btnLED->SetFlat(false);
    btnLED->resize(btnLED->width(), RowHeight);
    SetCaptionGlyph(btnLED, QStringLiteral("Illuminator"));
    btnLED->SetOnClick(handlers.btnLEDClick);
    updownLED = MakeUpDown(bar, "updownLED", QStringLiteral("Adjust Illuminator Brightness"), 0);
    updownLED->SetOnUpClick(handlers.updownLEDUpClick);
    updownLED->SetOnDownClick(handlers.updownLEDDownClick);
    PairArrows(btnLED, updownLED);

    TRowPlacer row(0);
    for (QWidget* control :
         {static_cast<QWidget*>(btnWavelength), sep6, static_cast<QWidget*>(panelMarker), sep7,
          static_cast<QWidget*>(btnXYShutterRotation), static_cast<QWidget*>(updownTheta),
          static_cast<QWidget*>(btnRotatingPolarizer),
          static_cast<QWidget*>(updownRotatingPolarizer), sep9, static_cast<QWidget*>(btnLED),
          static_cast<QWidget*>(updownLED)})
        row.Put(control);

    enablerOptions = new TKxEnabler(owner);
    enablerOptions->SetParent(tbOptions);
}

TOptionsBar::~TOptionsBar() = default;

void TOptionsBar::RecordDesign() {
    FOptionsCtrlMgr = std::make_unique<TCtrlMgr>(tbOptions);
}

void TOptionsBar::LayoutFor(const TCVLaser& laser) {
    const quint8 offered = laser.Wavelengths();
    int wavelengths = 0;
    for (int w = wlIR; w <= wlUV; ++w)
        wavelengths += (offered >> w) & 1;
    btnWavelength->setHidden(wavelengths < 2);
    sep6->setHidden(wavelengths < 2);
    panelMarker->setHidden(!laser.HasOption(loApertureWidth));
    btnXYShutterRotation->setHidden(!laser.HasOption(loXYTheta));
    updownTheta->setHidden(!laser.HasOption(loXYTheta));
    btnRotatingPolarizer->setHidden(!laser.HasOption(loPolarizer));
    updownRotatingPolarizer->setHidden(!laser.HasOption(loPolarizer));
    btnLED->setHidden(!laser.HasOption(loLED));
    updownLED->setHidden(!laser.HasOption(loLED));
    sep9->setHidden(!laser.HasOption(loLED));
}

void TOptionsBar::Arrange() {
    FOptionsCtrlMgr->Arrange();
}

void TOptionsBar::SetEnabled(bool enabled) {
    enablerOptions->SetRelativesEnabled(enabled);
}

void TOptionsBar::HideAperture() {
    panelMarker->hide();
}

void TOptionsBar::ShowWavelength(TWavelength wavelength) {
    static const TMenuImage images[] = {miIR, miGreen, miUV};
    FMenus.CheckWavelength(wavelength);
    btnWavelength->SetGlyphFromImages(FMenus.Images(), images[wavelength], QSize(24, 24));
    SetDropCaption(btnWavelength, FMenus.WavelengthText(wavelength));
}

void TOptionsBar::ShowAperture(float height, float width) {
    WriteQuietly(adjAperWidth, width);
    WriteQuietly(adjAperHeight, height);
}

void TOptionsBar::SetApertureIncrement(float increment) {
    adjAperWidth->SetIncrement(increment);
    adjAperHeight->SetIncrement(increment);
}

float TOptionsBar::ApertureWidth() const {
    return adjAperWidth->Value();
}

float TOptionsBar::ApertureHeight() const {
    return adjAperHeight->Value();
}

bool TOptionsBar::IsApertureAdjuster(const QObject* control) const {
    return control == adjAperWidth || control == adjAperHeight;
}

void TOptionsBar::ShowXYTheta(int degrees) {
    SetButtonCaption(btnXYShutterRotation, QString::number(degrees));
}

void TOptionsBar::ShowPolarizerAngle(int degrees) {
    SetButtonCaption(btnRotatingPolarizer, QString::number(degrees));
}

void TOptionsBar::ShowMarkerLevel(float percent) {
    SetButtonCaption(btnLED, PercentCaption(percent));
}
