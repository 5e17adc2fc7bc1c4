#include "strings/Countdown.h"

#include <gtest/gtest.h>

TEST(Countdown, RoundsUpAndNeverWrapsIntoHours) {
    EXPECT_EQ(countdown(1500), "25:00");
    EXPECT_EQ(countdown(59.2), "1:00");
    EXPECT_EQ(countdown(61), "1:01");
    EXPECT_EQ(countdown(0), "0:00");
    EXPECT_EQ(countdown(0.1), "0:01");
    EXPECT_EQ(countdown(3599.5), "60:00");
    EXPECT_EQ(countdown(5400), "90:00");
}
