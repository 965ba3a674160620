#pragma once

#include "controls/RepeatTimer.h"

// The bookkeeping of one auto-repeat timer shared by every control of one
// kind: the first control creates the timer, the last one frees it, and a
// control that goes away while the timer points at it stops the timer, so
// no tick ever reaches freed memory. Pressing an arrow of another control
// re-targets the timer.
//
// HoldTicks counts the ticks of the current hold, for controls whose step
// grows the longer an arrow is held. It restarts at 0 however a hold ends
// (Stop, the target leaving, an exception out of a tick) and when a new one
// starts, so a hold never inherits the pace of an earlier one.
template <class Control> class TSharedRepeat {
public:
    explicit TSharedRepeat(int intervalMs) : FIntervalMs(intervalMs) {}

    // Called by each new control with the tick that drives the current target.
    void Join(void (*onTick)()) {
        if (FInstances <= 0) {
            FTimer = new TRepeatTimer(FIntervalMs);
            FTimer->SetOnTimer([this, onTick] {
                ++FHoldTicks;
                try {
                    onTick();
                } catch (...) {
                    // The timer shows the error and stops; the hold is over.
                    Stop();
                    throw;
                }
            });
        }
        ++FInstances;
    }

    void Leave(Control* control) {
        if (FTarget == control) {
            FTarget = nullptr;
            Stop();
        }
        if (--FInstances <= 0) {
            delete FTimer;
            FTimer = nullptr;
            FHoldTicks = 0;
        }
    }

    void Start(Control* control, bool up) {
        FUp = up;
        FTarget = control;
        FHoldTicks = 0;
        if (FTimer)
            FTimer->SetEnabled(true);
    }

    void Stop() {
        FHoldTicks = 0;
        if (FTimer)
            FTimer->SetEnabled(false);
    }

    TRepeatTimer* Timer() const { return FTimer; }
    int Instances() const { return FInstances; }
    Control* Target() const { return FTarget; }
    bool Up() const { return FUp; }
    // Ticks since the current hold started, counting the one being run.
    int HoldTicks() const { return FHoldTicks; }

private:
    int FIntervalMs;
    TRepeatTimer* FTimer = nullptr;
    int FInstances = 0;
    bool FUp = false;
    Control* FTarget = nullptr;
    int FHoldTicks = 0;
};
