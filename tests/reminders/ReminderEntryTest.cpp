#include "reminders/ReminderEntry.h"

#include "strings/Strings.h"

#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

// Wall-clock times in the test zone, Europe/Berlin.
QDateTime local(int y, int mo, int d, int h, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

int utcOffsetHours(const QDateTime& t) {
    return t.offsetFromUtc() / 3600;
}

struct ReminderEntryTest : ::testing::Test {
    QLocale saved;
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    void TearDown() override { QLocale::setDefault(saved); }
};

TEST_F(ReminderEntryTest, AtTimeIsTheNextMatchStrictlyAfterNow) {
    const QDateTime now = local(2026, 12, 7, 10, 20);
    const Reminder earlier = ReminderEntry::atTime("stretch", QTime(9, 0), true, now);
    EXPECT_EQ(earlier.at, local(2026, 12, 8, 9, 0));
    EXPECT_TRUE(earlier.daily);
    EXPECT_EQ(ReminderEntry::when(earlier, now), S().tomorrow("09:00"));

    // The same minute as now is already past: tomorrow, even at 10:20:00 sharp.
    EXPECT_EQ(ReminderEntry::atTime("x", QTime(10, 20), false, now).at, local(2026, 12, 8, 10, 20));
    EXPECT_EQ(ReminderEntry::atTime("x", QTime(10, 20), false, now.addSecs(30)).at,
              local(2026, 12, 8, 10, 20));
    const Reminder later = ReminderEntry::atTime("x", QTime(10, 21), false, now);
    EXPECT_EQ(later.at, local(2026, 12, 7, 10, 21));
    EXPECT_FALSE(later.daily);
    EXPECT_EQ(ReminderEntry::when(later, now), "10:21");
    EXPECT_NE(earlier.id, later.id);
}

TEST_F(ReminderEntryTest, AtTimeAcrossDaylightSavingChanges) {
    // 28 March 2027: 02:00 jumps to 03:00. 02:30 does not exist; the next existing time is 03:00.
    const Reminder gap = ReminderEntry::atTime("x", QTime(2, 30), true, local(2027, 3, 27, 22, 0));
    EXPECT_EQ(gap.at.toUTC(), QDateTime(QDate(2027, 3, 28), QTime(1, 0), Qt::UTC));
    // 25 October 2026: 03:00 falls back to 02:00, so 02:30 happens twice; the first one counts.
    const Reminder repeat =
        ReminderEntry::atTime("x", QTime(2, 30), true, local(2026, 10, 25, 0, 10));
    EXPECT_EQ(repeat.at.toUTC(), QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC));
    EXPECT_EQ(utcOffsetHours(repeat.at.toLocalTime()), 2);
}

TEST_F(ReminderEntryTest, NextHourIsTheNextFullHourOfTheWallClock) {
    EXPECT_EQ(ReminderEntry::nextHour(local(2026, 12, 7, 10, 20)), local(2026, 12, 7, 11, 0));
    EXPECT_EQ(ReminderEntry::nextHour(local(2026, 12, 7, 10, 0)), local(2026, 12, 7, 11, 0));
    EXPECT_EQ(ReminderEntry::nextHour(local(2026, 12, 7, 23, 40)), local(2026, 12, 8, 0, 0));
    // Across the spring gap 01:30 is followed by 03:00, one real hour and a half later.
    const QDateTime spring = local(2027, 3, 28, 1, 30);
    EXPECT_EQ(spring.secsTo(ReminderEntry::nextHour(spring)), 1800);
    // In the repeated hour the first 02:00 has passed and the second is skipped: 03:00.
    const QDateTime autumn = QDateTime(QDate(2026, 10, 25), QTime(0, 30), Qt::UTC);
    EXPECT_EQ(ReminderEntry::nextHour(autumn).toUTC(),
              QDateTime(QDate(2026, 10, 25), QTime(2, 0), Qt::UTC));
}

TEST_F(ReminderEntryTest, AfterMinutesAndTheStepper) {
    const QDateTime now = local(2026, 12, 7, 10, 20, 15);
    const Reminder r = ReminderEntry::afterMinutes("tea", 25, now);
    EXPECT_EQ(r.at, now.addSecs(25 * 60));
    EXPECT_FALSE(r.daily);
    EXPECT_EQ(r.text, "tea");
    EXPECT_EQ(ReminderEntry::when(r, now), "10:45");

    EXPECT_EQ(ReminderEntry::fewer(5), 5);
    EXPECT_EQ(ReminderEntry::fewer(7), 5);
    EXPECT_EQ(ReminderEntry::more(480), 480);
    EXPECT_EQ(ReminderEntry::more(478), 480);
    EXPECT_EQ(S().duration(ReminderEntry::fewer(ReminderEntry::initialMinutes)), "25 min");
    EXPECT_EQ(S().duration(ReminderEntry::more(55)), "1 h");
    EXPECT_EQ(S().duration(ReminderEntry::more(90)), "1 h 35 min");
}

TEST_F(ReminderEntryTest, WhenNamesTheDayBeyondTomorrow) {
    const QDateTime now = local(2026, 12, 7, 23, 59);
    const Reminder r{QUuid::createUuid(), "x", local(2026, 12, 9, 9, 5), false};
    EXPECT_EQ(ReminderEntry::when(r, now), "9 Dec 09:05");
    // A due time stored in UTC is described on the local wall clock.
    const Reminder utc{QUuid::createUuid(), "x", local(2026, 12, 8, 0, 30).toUTC(), false};
    EXPECT_EQ(ReminderEntry::when(utc, now), S().tomorrow("00:30"));
}

TEST_F(ReminderEntryTest, TextIsCutAt120CharactersAndTrimmed) {
    const QString paste = QString(121, QLatin1Char('a'));
    EXPECT_EQ(ReminderEntry::cut(paste), QString(120, QLatin1Char('a')));
    EXPECT_EQ(ReminderEntry::cut(paste.left(120)), paste.left(120));
    // Emoji are one character each and are never cut in half.
    const QString cat = QStringLiteral("🐈");
    const QString cats = cat.repeated(121);
    EXPECT_EQ(ReminderEntry::cut(cats), cat.repeated(120));
    EXPECT_EQ(ReminderEntry::cut(cat.repeated(100)), cat.repeated(100)); // 200 code units

    EXPECT_EQ(ReminderEntry::trimmed("  \n stretch \t\n"), "stretch");
    EXPECT_EQ(ReminderEntry::trimmed("drink\nwater"), "drink\nwater");
    EXPECT_TRUE(ReminderEntry::trimmed(" \n\r\n\t ").isEmpty());
}

} // namespace
