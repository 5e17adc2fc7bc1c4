#include "cat/FocusPhase.h"

#include <gtest/gtest.h>

namespace {

TEST(FocusPhaseTest, EachBreakIsNewsOnceAndItsBedTimeEndsWithIt) {
    FocusPhase phase;
    double t = 1000;
    phase.announced(t);
    EXPECT_EQ(phase.breakBedAt(), std::nullopt) << "no break, no bed time";

    phase.set(true, std::nullopt);
    EXPECT_FALSE(phase.hasNews());
    phase.set(false, t + 300);
    EXPECT_TRUE(phase.hasNews());
    EXPECT_FALSE(phase.focusing());
    phase.announced(t);
    EXPECT_FALSE(phase.hasNews());
    EXPECT_EQ(phase.breakBedAt(), t + 45) << "a long break: bed at most 45 s later";
    EXPECT_FALSE(phase.breakBedtime(t + 44.9));
    EXPECT_TRUE(phase.breakBedtime(t + 45));
    phase.set(false, t + 290); // the timer reports its running break again
    EXPECT_FALSE(phase.hasNews());
    EXPECT_EQ(phase.breakBedAt(), t + 45);

    // Work, then the next break: news again, with no bed time left over from the last one.
    t += 300;
    phase.set(true, std::nullopt);
    EXPECT_EQ(phase.breakBedAt(), std::nullopt);
    EXPECT_FALSE(phase.breakBedtime(t));
    t += 1500;
    phase.set(false, t + 30);
    EXPECT_TRUE(phase.hasNews());
    EXPECT_EQ(phase.breakBedAt(), std::nullopt);
    phase.announced(t + 6);
    EXPECT_EQ(phase.breakBedAt(), t + 6 + 8) << "a third of the 24 s left";
}

} // namespace
