// The burst arithmetic of the fire button and the rounding it rests on.
#include "session/BurstPlan.h"
#include "session/Rounding.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr int ClipFrames = 18;

struct BurstCase {
    int Pulses;
    int Rate;
    int Frames;
    TBurstPlan Expected;
};

} // namespace

TEST(BurstPlanTest, SecondsAndPassesRoundHalvesToEven) {
    const BurstCase cases[] = {
        {10, 10, ClipFrames, {1, 1, 1500}}, // 10 / 18 frames rounds up to one pass
        {4, 10, ClipFrames, {0, 0, 0}},     // shorter than half a second: no animation
        {25, 10, ClipFrames, {2, 1, 2500}}, // 2.5 s goes down to the even 2
        {30, 10, ClipFrames, {3, 2, 3500}}, // 30 / 18 frames: two passes
    };
    for (const BurstCase& c : cases) {
        const TBurstPlan plan = PlanBurst(c.Pulses, c.Rate, c.Frames);
        SCOPED_TRACE(testing::Message() << c.Pulses << " pulses at " << c.Rate << " Hz");
        EXPECT_EQ(plan.Seconds, c.Expected.Seconds);
        EXPECT_EQ(plan.Passes, c.Expected.Passes);
        EXPECT_EQ(plan.TimerMs, c.Expected.TimerMs);
    }
}

TEST(BurstPlanTest, NoRateOrNoClipTakesTheNoAnimationPath) {
    for (const TBurstPlan& plan :
         {PlanBurst(10, 0, ClipFrames), PlanBurst(10, -5, ClipFrames), PlanBurst(100, 10, 0)}) {
        EXPECT_EQ(plan.Passes, 0);
        EXPECT_EQ(plan.TimerMs, 0);
    }
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

TEST(RoundHalfEvenTest, NaNGivesZeroAndHugeValuesSaturate) {
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(1e300), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-1e300), INT_MIN);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(RoundHalfEven(-std::numeric_limits<double>::infinity()), INT_MIN);
    EXPECT_EQ(RoundHalfEven(double(INT_MAX) + 0.5), INT_MAX);
}

TEST(RoundHalfEvenTest, IgnoresAndKeepsAChangedRoundingMode) {
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    const int rounded = RoundHalfEven(2.5);
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    EXPECT_EQ(rounded, 2);
    EXPECT_EQ(mode, FE_UPWARD);
}
