#pragma once

// How a burst is shown: the burst lasts Seconds whole seconds; the clip is
// played Passes times (0: no animation and no timer, the fire button comes
// up at once) and the button comes up after TimerMs.
struct TBurstPlan {
    int Seconds = 0;
    int Passes = 0;
    int TimerMs = 0;
};

// `pulses` at `rate` Hz with a clip of `frameCount` frames played at
// `framesPerSecond`. Both roundings go halves to even. A rate of 0 or less,
// or a clip without frames, takes the no-animation path.
TBurstPlan PlanBurst(int pulses, int rate, int frameCount, int framesPerSecond = 10);
