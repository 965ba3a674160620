#pragma once

#include "controls/NotifyEvent.h"
#include "laser/LaserModel.h"

#include <memory>

class QFrame;
class QObject;
class QWidget;
class TCVLaser;
class TCtrlMgr;
class TKxAdjuster;
class TKxDropBtn;
class TKxEnabler;
class TKxSpeedButton;
class TKxUpDown;
class TMainMenus;
class TToolBar;

// The options toolbar: wavelength, the aperture's width and height, the
// rotation stage or the polarizer, and the illuminator, each shown only for
// a laser that has it, with the gaps of hidden ones closed. Its enabler
// enables or disables the whole bar.
class TOptionsBar {
public:
    struct THandlers {
        TNotifyEvent btnWavelengthClick;
        // Either adjuster changed; both values are read back (Aperture...).
        TNotifyEvent adjAperValueChange;
        TNotifyEvent btnXYShutterRotationClick;
        TNotifyEvent updownThetaUpClick;
        TNotifyEvent updownThetaDownClick;
        TNotifyEvent btnRotatingPolarizerClick;
        TNotifyEvent updownRotatingPolarizerUpClick;
        TNotifyEvent updownRotatingPolarizerDownClick;
        TNotifyEvent btnLEDClick;
        TNotifyEvent updownLEDUpClick;
        TNotifyEvent updownLEDDownClick;
    };

    // `owner` owns the enabler; the menus give the wavelength drop-down.
    TOptionsBar(QObject* owner, TMainMenus& menus, const THandlers& handlers);
    ~TOptionsBar();
    TOptionsBar(const TOptionsBar&) = delete;
    TOptionsBar& operator=(const TOptionsBar&) = delete;

    // The toolbar, for the window's cool bar.
    TToolBar* Bar() const { return tbOptions; }

    // Takes the design positions for closing gaps; call before anything is
    // hidden.
    void RecordDesign();
    void LayoutFor(const TCVLaser& laser);
    // Closes the gaps of hidden controls.
    void Arrange();
    void SetEnabled(bool enabled);
    // Without a laser only the aperture goes; the rest keeps the last
    // laser's layout.
    void HideAperture();

    void ShowWavelength(TWavelength wavelength);
    // The adjusters show the values without raising their change event.
    void ShowAperture(float height, float width);
    void SetApertureIncrement(float increment);
    float ApertureWidth() const;
    float ApertureHeight() const;
    bool IsApertureAdjuster(const QObject* control) const;
    void ShowXYTheta(int degrees);
    void ShowPolarizerAngle(int degrees);
    void ShowMarkerLevel(float percent);

private:
    TMainMenus& FMenus;
    TToolBar* tbOptions = nullptr;
    TKxDropBtn* btnWavelength = nullptr;
    QWidget* sep6 = nullptr;
    QFrame* panelMarker = nullptr;
    TKxAdjuster* adjAperWidth = nullptr;
    TKxAdjuster* adjAperHeight = nullptr;
    TKxSpeedButton* btnMarkerLight = nullptr;
    QWidget* sep7 = nullptr;
    TKxSpeedButton* btnXYShutterRotation = nullptr;
    TKxUpDown* updownTheta = nullptr;
    TKxSpeedButton* btnRotatingPolarizer = nullptr;
    TKxUpDown* updownRotatingPolarizer = nullptr;
    QWidget* sep9 = nullptr;
    TKxSpeedButton* btnLED = nullptr;
    TKxUpDown* updownLED = nullptr;
    TKxEnabler* enablerOptions = nullptr;
    std::unique_ptr<TCtrlMgr> FOptionsCtrlMgr;
};
