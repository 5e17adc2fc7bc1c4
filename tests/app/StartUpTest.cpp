#include "Wait.h"
#include "app/FrameClock.h"
#include "app/PurrloxApp.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, TakesTheAutomationSocketAndOnlyPurrloxLinks) {
    const auto options = PurrloxApp::parse(
        {"purrlox", "purrlox://a", "--automation", "/tmp/x.sock", "https://b", "purrlox:c"});
    EXPECT_EQ(options.automation, "/tmp/x.sock");
    EXPECT_EQ(options.links, QList<QUrl>({QUrl("purrlox://a"), QUrl("purrlox:c")}));
    EXPECT_TRUE(PurrloxApp::parse({"purrlox"}).automation.isEmpty());
}

TEST(FrameClock, IntervalFollowsTheRefreshRateAndNeverRunsSlowerThanIt) {
    using std::chrono::milliseconds;
    EXPECT_EQ(FrameClock::intervalFor(60), milliseconds(16));
    EXPECT_EQ(FrameClock::intervalFor(144), milliseconds(6));
    EXPECT_EQ(FrameClock::intervalFor(30), milliseconds(33));
    EXPECT_EQ(FrameClock::intervalFor(0), milliseconds(16));
    EXPECT_EQ(FrameClock::intervalFor(std::nan("")), milliseconds(16));
}

TEST(FrameClock, FiresItsTickerUntilStopped) {
    int fired = 0;
    FrameClock clock(120, std::make_unique<Ticker>([&] { ++fired; }));
    EXPECT_FALSE(clock.isActive());
    clock.start();
    EXPECT_TRUE(waitFor([&] { return fired >= 3; }));
    clock.stop();
    const int stoppedAt = fired;
    waitFor([] { return false; }, 50);
    EXPECT_EQ(fired, stoppedAt);
}

} // namespace
