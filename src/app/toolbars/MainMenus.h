#pragma once

#include "controls/NotifyEvent.h"
#include "laser/LaserModel.h"

#include <QIcon>
#include <QList>

class QAction;
class QMainWindow;
class QMenu;
class TCVLaser;

// The main window's menus: the menu bar (File, Laser, Help) and the drop-
// down and context menus of the mode, wavelength and pulse-width buttons,
// with the menu pictures. Each item raises its handler with itself as
// sender; the radio items (modes, wavelengths, pulse widths) are checked only
// by the program (Check...), never by a click.
class TMainMenus {
public:
    struct THandlers {
        TNotifyEvent SaveSettings1Click;
        TNotifyEvent menuRecallSettings1Click;
        TNotifyEvent Exit1Click;
        TNotifyEvent menuInitialize1Click;
        TNotifyEvent menuLaserModeBurstShotsClick;
        TNotifyEvent menuNetworkConnectClick;
        TNotifyEvent menuConfigureClick;
        TNotifyEvent About1Click;
        TNotifyEvent menuHelpContentsClick;
        TNotifyEvent menuCheckforNewVersion1Click;
        TNotifyEvent Terminal1Click;
        TNotifyEvent menuLaserModeContClick;
        TNotifyEvent menuLaserMode1ShotClick;
        TNotifyEvent menuLaserModeBurstClick;
        TNotifyEvent menuLaserIRClick;
        TNotifyEvent menuLaserGreenClick;
        TNotifyEvent menuLaserUVClick;
        TNotifyEvent menuShortPulseClick;
        TNotifyEvent menuLongPulseClick;
    };

    // Builds the menus into `window`'s menu bar; the drop-down menus are
    // children of the window.
    TMainMenus(QMainWindow* window, const THandlers& handlers);

    // The pictures, in TMenuImage order.
    const QList<QIcon>& Images() const { return FImages; }
    QMenu* Modes() const { return dropdownModes; }
    QMenu* ModeProps() const { return popupModeProps; }
    QMenu* Wavelengths() const { return dropdownWavelength; }
    QMenu* PulseWidths() const { return dropdownPulseWidths; }

    // The text of a mode's or wavelength's item; checks it.
    QString FireModeText(TFireMode mode) const;
    void CheckFireMode(TFireMode mode);
    // Empty for an ordinal outside IR..UV.
    QString WavelengthText(TWavelength wavelength) const;
    void CheckWavelength(TWavelength wavelength);
    void CheckPulseWidth(bool longPulse);
    // The text of the pulse width's item: "Short Pulse" or "Long Pulse".
    QString PulseWidthText(bool longPulse) const;

    // The wavelength items are enabled for what the laser offers.
    void LayoutFor(const TCVLaser& laser);
    void SetRecallEnabled(bool enabled);
    void SetLaserMenuEnabled(bool enabled);

private:
    QAction* FireModeItem(TFireMode mode) const;
    QAction* WavelengthItem(TWavelength wavelength) const;

    QList<QIcon> FImages;
    QMenu* menuLaser = nullptr;
    QAction* menuRecallSettings = nullptr;
    QMenu* dropdownModes = nullptr;
    QAction* menuLaserModeCont = nullptr;
    QAction* menuLaserMode1Shot = nullptr;
    QAction* menuLaserModeBurst = nullptr;
    QMenu* popupModeProps = nullptr;
    QMenu* dropdownWavelength = nullptr;
    QAction* menuLaserIR = nullptr;
    QAction* menuLaserGreen = nullptr;
    QAction* menuLaserUV = nullptr;
    QMenu* dropdownPulseWidths = nullptr;
    QAction* menuShortPulse = nullptr;
    QAction* menuLongPulse = nullptr;
};
