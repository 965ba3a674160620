#include "session/BurstPlan.h"

#include "session/Rounding.h"

TBurstPlan PlanBurst(int pulses, int rate, int frameCount, int framesPerSecond) {
    TBurstPlan plan;
    if (rate <= 0 || frameCount <= 0)
        return plan;
    plan.Seconds = RoundHalfEven(double(pulses) / double(rate));
    plan.Passes =
        RoundHalfEven(double(framesPerSecond) * double(plan.Seconds) / double(frameCount));
    if (plan.Passes > 0)
        plan.TimerMs = plan.Seconds * 1000 + 500;
    return plan;
}
