#include "app/toolbars/OutputRow.h"

#include "app/HelpContext.h"
#include "app/toolbars/BarControls.h"
#include "app/toolbars/CaptionGlyph.h"
#include "app/toolbars/ToolBar.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "laser/CVLaser.h"

using namespace bars;

namespace {

QString PercentCaption(float percent) {
    return QString::asprintf("%.1f%%", double(percent));
}

} // namespace

TOutputRow::TOutputRow(TToolBar* bar, const THandlers& handlers) {
    sep3 = MakeSeparator(bar, "sep3");
    btnVoltage = MakeButton(bar, "btnVoltage", QStringLiteral("PFN ?"),
                            QStringLiteral("Set PFN voltage"), QStringLiteral("100.0%"));
    SetCaptionGlyph(btnVoltage, QStringLiteral("PFN"));
    btnVoltage->SetOnClick(handlers.btnVoltageClick);
    updownPFN =
        MakeUpDown(bar, "updownPFN", QStringLiteral("Adjust PFN voltage"), hcVoltageAndAngles);
    updownPFN->SetOnUpClick(handlers.updownPFNUpClick);
    updownPFN->SetOnDownClick(handlers.updownPFNDownClick);
    PairArrows(btnVoltage, updownPFN);

    btnDiode1 = MakeButton(bar, "btnDiode1", QStringLiteral("D1C ?"),
                           QStringLiteral("Set Diode1 Current"), QStringLiteral("100.0%"));
    btnDiode1->setProperty("Tag", 1);
    SetCaptionGlyph(btnDiode1, QStringLiteral("Diode 1"));
    btnDiode1->SetOnClick(handlers.btnDiode1Click);
    updownDiode1 =
        MakeUpDown(bar, "updownDiode1", QStringLiteral("Adjust Diode1 Current"), hcDiodeCurrents);
    updownDiode1->SetOnUpClick(handlers.updownDiode1UpClick);
    updownDiode1->SetOnDownClick(handlers.updownDiode1DownClick);
    PairArrows(btnDiode1, updownDiode1);
    sep4 = MakeSeparator(bar, "sep4");
    btnDiode2 = MakeButton(bar, "btnDiode2", QStringLiteral("D2C ?"),
                           QStringLiteral("Set Diode2 Current"), QStringLiteral("100.0%"));
    btnDiode2->setProperty("Tag", 2);
    SetCaptionGlyph(btnDiode2, QStringLiteral("Diode 2"));
    btnDiode2->SetOnClick(handlers.btnDiode2Click);
    updownDiode2 =
        MakeUpDown(bar, "updownDiode2", QStringLiteral("Adjust Diode2 Current"), hcDiodeCurrents);
    updownDiode2->SetOnUpClick(handlers.updownDiode2UpClick);
    updownDiode2->SetOnDownClick(handlers.updownDiode2DownClick);
    PairArrows(btnDiode2, updownDiode2);
    sep5 = MakeSeparator(bar, "sep5");

    btnEnergy = MakeButton(bar, "btnEnergy", QStringLiteral("Atten ?"),
                           QStringLiteral("Set laser output"), QStringLiteral("100.0%"));
    SetCaptionGlyph(btnEnergy, QStringLiteral("Output"));
    btnEnergy->SetOnClick(handlers.btnEnergyClick);
    updownEnergy =
        MakeUpDown(bar, "updownEnergy", QStringLiteral("Adjust laser output"), hcOutputLevel);
    updownEnergy->SetOnUpClick(handlers.updownEnergyUpClick);
    updownEnergy->SetOnDownClick(handlers.updownEnergyDownClick);
    PairArrows(btnEnergy, updownEnergy);

    switchEnergyMode = new TSwitch(bar);
    switchEnergyMode->setObjectName(QStringLiteral("switchEnergyMode"));
    switchEnergyMode->SetHint(QStringLiteral("Laser output range switch"));
    switchEnergyMode->SetCaption(QStringLiteral("Range"));
    SetAccessible(switchEnergyMode, switchEnergyMode->Caption());
    SetHelpContext(switchEnergyMode, hcOutputRange);
    switchEnergyMode->resize(qMax(40, switchEnergyMode->sizeHint().width()), RowHeight);
    switchEnergyMode->SetOnClick(handlers.switchEnergyModeClick);
}

void TOutputRow::PlaceVoltage(TRowPlacer& firstRow) {
    firstRow.Put(sep3);
    firstRow.Put(btnVoltage);
    firstRow.Put(updownPFN);
}

void TOutputRow::PlaceSecondRow(TRowPlacer& secondRow) {
    for (QWidget* control :
         {static_cast<QWidget*>(btnDiode1), static_cast<QWidget*>(updownDiode1), sep4,
          static_cast<QWidget*>(btnDiode2), static_cast<QWidget*>(updownDiode2), sep5,
          static_cast<QWidget*>(btnEnergy), static_cast<QWidget*>(updownEnergy)})
        secondRow.Put(control);
    secondRow.Put(switchEnergyMode, 4);
}

void TOutputRow::LayoutFor(const TCVLaser& laser) {
    const int type = laser.LaserType();
    const int diodes = laser.GetDiodeCount();
    // A diode laser's "voltage" is its diode currents, which have controls
    // of their own.
    const bool pfn = laser.HasOption(loVariableVoltage) && type != 5 && type != 8;
    for (QWidget* control :
         {static_cast<QWidget*>(btnVoltage), static_cast<QWidget*>(updownPFN), sep3})
        control->setHidden(!pfn);
    for (QWidget* control :
         {static_cast<QWidget*>(btnDiode1), static_cast<QWidget*>(updownDiode1), sep4})
        control->setHidden(diodes < 1);
    for (QWidget* control :
         {static_cast<QWidget*>(btnDiode2), static_cast<QWidget*>(updownDiode2), sep5})
        control->setHidden(diodes < 2);
    btnEnergy->setHidden(!laser.HasOption(loAttenuator));
    updownEnergy->setHidden(!laser.HasOption(loAttenuator));
    switchEnergyMode->setHidden(!laser.HasOption(loOutputRange));
}

void TOutputRow::ShowPFNVoltage(float percent) {
    SetButtonCaption(btnVoltage, PercentCaption(percent));
}

void TOutputRow::ShowDiodeCurrents(float diode1, float diode2) {
    SetButtonCaption(btnDiode1, PercentCaption(diode1));
    SetButtonCaption(btnDiode2, PercentCaption(diode2));
}

void TOutputRow::ShowOutputLevel(float percent) {
    SetButtonCaption(btnEnergy, PercentCaption(percent));
}

void TOutputRow::ShowOutputRange(bool high) {
    switchEnergyMode->SetOn(high);
}

bool TOutputRow::RangeHigh() const {
    return switchEnergyMode->On();
}
