#pragma once

#include "controls/NotifyEvent.h"

class QWidget;
class TCVLaser;
class TKxSpeedButton;
class TKxUpDown;
class TSwitch;
class TToolBar;

namespace bars {
class TRowPlacer;
}

// The output controls of the main toolbar: the PFN voltage of flash-lamp
// lasers, the diode currents of diode lasers, the attenuator's output and
// the output-range switch, each with what sets it. Values are shown as the
// laser holds them, in percent with one decimal.
class TOutputRow {
public:
    struct THandlers {
        TNotifyEvent btnVoltageClick;
        TNotifyEvent updownPFNUpClick;
        TNotifyEvent updownPFNDownClick;
        TNotifyEvent btnDiode1Click;
        TNotifyEvent updownDiode1UpClick;
        TNotifyEvent updownDiode1DownClick;
        TNotifyEvent btnDiode2Click;
        TNotifyEvent updownDiode2UpClick;
        TNotifyEvent updownDiode2DownClick;
        TNotifyEvent btnEnergyClick;
        TNotifyEvent updownEnergyUpClick;
        TNotifyEvent updownEnergyDownClick;
        TNotifyEvent switchEnergyModeClick;
    };

    TOutputRow(TToolBar* bar, const THandlers& handlers);

    // Design positions, in the bar's design order: the PFN voltage in the
    // first row (after the rate), the rest in the second.
    void PlaceVoltage(bars::TRowPlacer& firstRow);
    void PlaceSecondRow(bars::TRowPlacer& secondRow);

    // PFN with a variable voltage on a laser without diodes; one or two
    // diodes; the attenuator; the range switch.
    void LayoutFor(const TCVLaser& laser);

    void ShowPFNVoltage(float percent);
    // Diode currents in percent; a negative value is a diode the laser lacks.
    void ShowDiodeCurrents(float diode1, float diode2);
    void ShowOutputLevel(float percent);
    void ShowOutputRange(bool high);
    // The range switch's position (a click has already moved it).
    bool RangeHigh() const;

private:
    QWidget* sep3 = nullptr;
    TKxSpeedButton* btnVoltage = nullptr;
    TKxUpDown* updownPFN = nullptr;
    TKxSpeedButton* btnDiode1 = nullptr;
    TKxUpDown* updownDiode1 = nullptr;
    QWidget* sep4 = nullptr;
    TKxSpeedButton* btnDiode2 = nullptr;
    TKxUpDown* updownDiode2 = nullptr;
    QWidget* sep5 = nullptr;
    TKxSpeedButton* btnEnergy = nullptr;
    TKxUpDown* updownEnergy = nullptr;
    TSwitch* switchEnergyMode = nullptr;
};
