#include "platform/linux/SleepSignals.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

// Two sources darken the screens (a D-Bus screen saver, then the X server's DPMS): the cat
// sleeps once, and wakes only when the last of them has cleared.
TEST(SleepSignalsTest, TheScreensWakeWhenTheLastSourceClears) {
    SleepSignals sleep(QDBusConnection(QStringLiteral("none")),
                       QDBusConnection(QStringLiteral("none")));
    int asleep = 0, awake = 0;
    sleep.asleep = [&] { ++asleep; };
    sleep.awake = [&] { ++awake; };

    sleep.screensDark(QStringLiteral("the screen saver"), true);
    sleep.screensDark(QStringLiteral("X server"), true);
    sleep.screensDark(QStringLiteral("the screen saver"), true); // said twice
    EXPECT_EQ(asleep, 1);
    sleep.screensDark(QStringLiteral("the screen saver"), false);
    EXPECT_EQ(awake, 0) << "the monitors are still off";
    sleep.screensDark(QStringLiteral("X server"), false);
    EXPECT_EQ(awake, 1);
    sleep.screensDark(QStringLiteral("X server"), false); // a clear without a dark
    EXPECT_EQ(awake, 1);
}
