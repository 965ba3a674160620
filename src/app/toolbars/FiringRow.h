#pragma once

#include "controls/NotifyEvent.h"
#include "laser/LaserModel.h"
#include "laser/StatusTables.h"
#include "session/BurstPlan.h"

#include <functional>

class QTimer;
class QWidget;
class TAnimate;
class TCVLaser;
class TKxDropBtn;
class TKxSpeedButton;
class TKxUpDown;
class TMainMenus;
class TSwitch;
class TToolBar;

namespace bars {
class TRowPlacer;
}

// The firing controls of the main toolbar: the supply switch, the firing
// mode, the rate and its arrows, the pulse width, the fire button, the
// firing animation and the burst timer. It shows what the window tells it;
// the laser is reached by the handlers, never from here.
//
// The fire button has two states: raised ("Fire") and pressed ("Stop"),
// pressed only while the laser fires continuously or a burst long enough
// to animate runs. The animation plays only while it is pressed.
class TFiringRow {
public:
    struct THandlers {
        TNotifyEvent btnLaserOnOffClick;
        TNotifyEvent btnLaserModeClick;
        TNotifyEvent btnRepRateClick;
        TNotifyEvent updownRateUpClick;
        TNotifyEvent updownRateDownClick;
        TNotifyEvent btnPulseWidthClick;
        TNotifyEvent btnLaserFireClick;
        // The burst timer ran out (its handler decides whether the button
        // comes up: BurstTimerDone).
        std::function<void()> timerAnimationDoneTimer;
    };

    // Creates the controls as children of `bar`; the menus give the mode and
    // pulse-width drop-downs, their pictures and texts.
    TFiringRow(TToolBar* bar, TMainMenus& menus, const THandlers& handlers);

    // Design positions, called in the bar's design order: the switch, mode
    // and rate start the first row; the pulse width and sep10 end it; the
    // fire button and the animation end the second.
    void PlaceLead(bars::TRowPlacer& firstRow);
    void PlacePulseWidth(bars::TRowPlacer& firstRow);
    void PlaceFire(bars::TRowPlacer& secondRow);

    // The pulse width shows only for a laser that offers it; the rest of the
    // row is there for every laser.
    void LayoutFor(const TCVLaser& laser, bool pulseWidthOffered);

    // The supply switch: enabled while the laser may be started, on while
    // the supply is on or starting.
    void ShowSupply(bool on);
    void SetSupplyEnabled(bool enabled);
    // Mode button caption (the mode's item; burst with " (n)"), glyph and
    // item check; the rate controls enabled as `rateEnabled` says; the rate.
    void ShowFireMode(TFireMode mode, int burstCount, int rate, bool rateEnabled);
    // "%d Hz".
    void ShowRepRate(int rate);
    void ShowPulseWidth(bool longPulse);

    bool FireButtonDown() const;
    void SetFireEnabled(bool enabled);
    // Pressed, "Stop", the clip repeating without end.
    void ShowFiringContinuously();
    // A one-shot: the button comes up at once.
    void ShowOneShot();
    // A burst: with no passes to play the button comes up at once;
    // otherwise it stays pressed ("Stop"), the clip plays plan.Passes times
    // and the burst timer runs plan.TimerMs.
    void ShowBurst(const TBurstPlan& plan);
    // The burst timer ran out: in burst mode, with the button still pressed,
    // frame 1 is shown and the button comes up.
    void BurstTimerDone(TFireMode mode);
    // Raised, "Fire", the animation stopped.
    void FireButtonAtRest();
    // The status said FIRE (or not) while the window did not start it: in
    // continuous mode the button shows the firing (pressed, "Stop", the
    // clip) and comes back to rest when the firing ends.
    void MirrorFiring(bool firing, TFireMode mode);
    // The animation stops when the laser reports no firing.
    void StopAnimation();

    TAnimate* Animation() const { return animLaser; }
    QTimer* AnimationDoneTimer() const { return timerAnimationDone; }

private:
    TSwitch* btnLaserOnOff = nullptr;
    QWidget* sep1 = nullptr;
    TKxDropBtn* btnLaserMode = nullptr;
    QWidget* sep2 = nullptr;
    TKxSpeedButton* btnRepRate = nullptr;
    TKxUpDown* updownRate = nullptr;
    TKxDropBtn* btnPulseWidth = nullptr;
    QWidget* sep10 = nullptr;
    TKxSpeedButton* btnLaserFire = nullptr;
    TAnimate* animLaser = nullptr;
    QTimer* timerAnimationDone = nullptr;
    TMainMenus& FMenus;
    // The fire button is down because the status said FIRE, not because the
    // operator fired.
    bool FFiringFromStatus = false;
};
