#include "FocusTestSupport.h"
#include "fakes/Fakes.h"
#include "strings/Strings.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

struct Streaks : ::testing::Test {
    FakeClock clock;
    FocusLog::Streak streakWith(std::initializer_list<QDate> days, QDate asked) {
        QList<FocusLog::Stretch> list;
        for (QDate d : days)
            list << pomodoroOn(d);
        FocusLog log(clock, list);
        return log.streak(QDateTime(asked, QTime(18, 0), Qt::LocalTime));
    }
};

// Week of Monday 2026-11-23; the next one starts Monday 2026-11-30.
const QDate mon(2026, 11, 23), tue(2026, 11, 24), wed(2026, 11, 25), thu(2026, 11, 26),
    fri(2026, 11, 27), sat(2026, 11, 28), sun(2026, 11, 29);

TEST_F(Streaks, OneMissedDayIsForgivenWhenTheDayBeforeCounts) {
    const FocusLog::Streak s = streakWith({mon, tue, thu, fri}, fri);
    EXPECT_EQ(s.dayCount, 4);
    EXPECT_TRUE(s.forgivenThisWeek);
}

TEST_F(Streaks, OnlyOneForgivenessPerWeek) {
    EXPECT_EQ(streakWith({mon, wed, fri}, fri).dayCount, 2);
}

TEST_F(Streaks, TwoMissedDaysEndTheStreak) {
    const FocusLog::Streak s = streakWith({thu, fri}, fri);
    EXPECT_EQ(s.dayCount, 2);
    EXPECT_FALSE(s.forgivenThisWeek);
}

TEST_F(Streaks, EachWeekForgivesItsOwnMiss) {
    // Sat of one week, Mon Tue Thu of the next; Wed and the Sunday between are forgiven.
    const QDate nextMon = mon.addDays(7), nextTue = tue.addDays(7), nextThu = thu.addDays(7);
    const FocusLog::Streak s = streakWith({sat, nextMon, nextTue, nextThu}, nextThu);
    EXPECT_EQ(s.dayCount, 4);
    EXPECT_TRUE(s.forgivenThisWeek);
}

TEST_F(Streaks, TodayWithoutPomodoroKeepsYesterdaysStreak) {
    EXPECT_EQ(streakWith({wed, thu}, fri).dayCount, 2);
    EXPECT_EQ(streakWith({wed, thu}, sat).dayCount, 2); // Fri forgiven in passing
    EXPECT_EQ(streakWith({wed, thu}, sun).dayCount, 0);
    EXPECT_EQ(streakWith({}, fri).dayCount, 0);
}

TEST_F(Streaks, IncompleteStretchesMakeNoFocusDay) {
    FocusLog log(clock, {pomodoroOn(thu), stretch(local(2026, 11, 27, 9), 1400, false)});
    EXPECT_EQ(log.focusDays(), (std::set<QDate>{thu}));
    EXPECT_EQ(log.streak(local(2026, 11, 27, 20)).dayCount, 1);
}

TEST(FocusShares, FoldsTheSmallestIntoOneMoreShare) {
    QList<FocusLog::Stretch> list;
    for (int i = 0; i < 7; ++i)
        list << stretch(local(2026, 12, 1, 9 + i), 100.0 * (i + 1), true, QString("A%1").arg(i));
    const QList<FocusLog::Share> shares = FocusLog::shares(list, 5);
    ASSERT_EQ(shares.size(), 5);
    EXPECT_EQ(shares[0].name, "A6");
    EXPECT_EQ(shares[3].name, "A3");
    EXPECT_EQ(shares[4].name, S().moreActivities(3));
    EXPECT_DOUBLE_EQ(shares[4].seconds, 100 + 200 + 300);
}

TEST(FocusShares, GroupsByExactNameAndOrdersTiesByName) {
    const QList<FocusLog::Share> shares =
        FocusLog::shares({stretch(local(2026, 12, 1, 9), 300, true, "b"),
                          stretch(local(2026, 12, 1, 10), 300, true, "B"),
                          stretch(local(2026, 12, 1, 11), 200, true, "a"),
                          stretch(local(2026, 12, 1, 12), 100, true, "a")},
                         5);
    ASSERT_EQ(shares.size(), 3);
    EXPECT_EQ(shares[0], (FocusLog::Share{"B", 300}));
    EXPECT_EQ(shares[1], (FocusLog::Share{"a", 300}));
    EXPECT_EQ(shares[2], (FocusLog::Share{"b", 300}));
    EXPECT_EQ(FocusLog::shares({}, 5).size(), 0);
}

TEST(FocusDays, SumsTheDayAndFindsTheBestRunWithinSittings) {
    FakeClock clock(local(2026, 12, 2, 22));
    const QDateTime s1 = local(2026, 12, 2, 9), s2 = local(2026, 12, 2, 14);
    FocusLog log(clock, {
                            stretch(local(2026, 12, 1, 23, 50), 1500, true), // the day before
                            stretch(local(2026, 12, 2, 9), 1500, true, "Work", s1),
                            stretch(local(2026, 12, 2, 9, 30), 1500, true, "Work", s1),
                            stretch(local(2026, 12, 2, 10), 600, false, "Work", s1),
                            stretch(local(2026, 12, 2, 10, 30), 1500, true, "Work", s1),
                            stretch(local(2026, 12, 2, 14), 1500, true, "Read", s2),
                        });
    const FocusLog::Day d = log.day(local(2026, 12, 2, 8), 5);
    EXPECT_EQ(d.date, local(2026, 12, 2, 0));
    EXPECT_DOUBLE_EQ(d.seconds, 4 * 1500 + 600);
    EXPECT_EQ(d.pomodoros, 4);
    EXPECT_EQ(d.bestRun, 2); // the new sitting restarts the count at 1
    EXPECT_EQ(d.shares.size(), 2);
    EXPECT_EQ(log.day(local(2026, 12, 3), 5), (FocusLog::Day{local(2026, 12, 3, 0), 0, {}, 0, 0}));
}

TEST(FocusDays, OpenStretchCountsOnItsStartDay) {
    FakeClock clock(local(2026, 12, 3, 0, 10));
    FocusLog log(clock, {});
    log.setCurrent(stretch(local(2026, 12, 2, 23, 55), 900, false));
    EXPECT_DOUBLE_EQ(log.day(local(2026, 12, 2), 5).seconds, 900);
    EXPECT_DOUBLE_EQ(log.day(local(2026, 12, 3), 5).seconds, 0);
}

TEST(FocusWeeks, SevenDaysMondayFirstWithSittingAverages) {
    FakeClock clock(local(2026, 12, 6, 22));
    const QDateTime s1 = local(2026, 11, 30, 9);
    FocusLog log(clock, {
                            stretch(local(2026, 11, 29, 23), 1500, true), // Sunday before
                            stretch(local(2026, 11, 30, 9), 1500, true, "Work", s1),
                            stretch(local(2026, 11, 30, 9, 30), 1500, true, "Work", s1),
                            stretch(local(2026, 12, 6, 23, 30), 700, false, "Read"), // Sunday
                            stretch(local(2026, 12, 7, 0, 10), 1500, true),          // next week
                        });
    const FocusLog::Week w = log.week(local(2026, 12, 3), 5);
    ASSERT_EQ(w.days.size(), 7);
    EXPECT_EQ(w.days[0].date, local(2026, 11, 30, 0));
    EXPECT_EQ(w.days[6].date, local(2026, 12, 6, 0));
    EXPECT_DOUBLE_EQ(w.days[0].seconds, 3000);
    EXPECT_DOUBLE_EQ(w.days[6].seconds, 700);
    EXPECT_EQ(w.focusDays(), 1);
    ASSERT_TRUE(w.sittingSeconds && w.sittingPomodoros);
    EXPECT_DOUBLE_EQ(*w.sittingSeconds, 3700 / 2.0);
    EXPECT_DOUBLE_EQ(*w.sittingPomodoros, 1.0);
    EXPECT_EQ(w.shares, (QList<FocusLog::Share>{{"Work", 3000}, {"Read", 700}}));
    EXPECT_FALSE(log.week(local(2026, 11, 11), 5).sittingSeconds.has_value());
}

} // namespace

namespace {

// The day index must answer exactly what a scan of every stretch answers, also around a
// daylight-saving change and for stretches finished after the index was built.
TEST(FocusDayIndex, AgreesWithAFullScan) {
    FakeClock clock(local(2026, 4, 10, 12));
    quint32 seed = 7;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    QList<FocusLog::Stretch> list;
    QDateTime t = local(2026, 3, 20, 0, 10);
    for (int i = 0; i < 400; ++i) {
        t = t.addSecs(600 + qint64(next(9000)));
        list << stretch(t, 1 + next(1500), next(3) != 0, QString("A%1").arg(next(4)));
    }
    FocusLog log(clock, list.mid(0, 300));
    log.day(t, 5); // builds the index
    for (const FocusLog::Stretch& s : list.mid(300)) {
        log.setCurrent(s);
        log.finish(false);
    }
    QList<FocusLog::Stretch> finished = log.stretches();
    for (QDate d = QDate(2026, 3, 19); d <= t.date().addDays(1); d = d.addDays(1)) {
        double seconds = 0;
        int pomodoros = 0;
        for (const FocusLog::Stretch& s : finished) {
            if (s.start.toLocalTime().date() != d) continue;
            seconds += s.seconds;
            pomodoros += s.completed;
        }
        const FocusLog::Day day = log.day(QDateTime(d, QTime(12, 0)), 5);
        EXPECT_DOUBLE_EQ(day.seconds, seconds) << d.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(day.pomodoros, pomodoros) << d.toString(Qt::ISODate).toStdString();
    }
}

TEST(FocusDayIndex, FollowsAChangeOfTimeZone) {
    FakeClock clock(local(2026, 12, 3, 12));
    // 00:30 in Berlin is still the evening before in UTC.
    FocusLog log(clock, {stretch(local(2026, 12, 3, 0, 30).toUTC(), 1500, true)});
    EXPECT_DOUBLE_EQ(log.day(local(2026, 12, 3, 12), 5).seconds, 1500);
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "UTC");
    const double inUtc =
        log.day(QDateTime(QDate(2026, 12, 3), QTime(12, 0), QTimeZone::utc()), 5).seconds;
    qputenv("TZ", zone);
    EXPECT_DOUBLE_EQ(inUtc, 0);
    EXPECT_DOUBLE_EQ(log.day(local(2026, 12, 3, 12), 5).seconds, 1500);
}

} // namespace
