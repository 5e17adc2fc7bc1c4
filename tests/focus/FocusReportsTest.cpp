#include "FocusTestSupport.h"
#include "fakes/Fakes.h"
#include "strings/Strings.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

// Monday 2026-11-30 to Sunday 2026-12-06.
struct FocusReports : ::testing::Test {
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 2, 20, 59, 59)};
    QList<Letter> letters;

    std::unique_ptr<FocusLog> start() {
        auto log = std::make_unique<FocusLog>(*defaults, clock);
        log->onReport = [this](const Letter& l) { letters << l; };
        return log;
    }
    void book(FocusLog& log, const QDateTime& at, double seconds, bool completed = false,
              QDateTime sitting = {}) {
        FocusLog::Stretch s = stretch(at, seconds, false, "Work", sitting);
        s.planned = completed ? seconds : seconds + 600;
        s.seconds = 0;
        log.setCurrent(s);
        log.count(seconds);
        log.finish(completed);
    }
};

TEST_F(FocusReports, EachNineOClockSlotIsHandledOnceAcrossRestarts) {
    defaults->setDate("focusReportedAt", local(2026, 12, 1, 21));
    {
        auto log = start();
        book(*log, local(2026, 12, 2, 9), 1500, true);
        log->checkReport(); // 20:59:59: yesterday's slot is done
        EXPECT_TRUE(letters.isEmpty());
        clock.set(local(2026, 12, 2, 21));
        log->checkReport();
        ASSERT_EQ(letters.size(), 1);
        log->checkReport();
    }
    clock.set(local(2026, 12, 2, 23));
    start()->checkReport(); // after a restart the same evening
    ASSERT_EQ(letters.size(), 1);
    EXPECT_EQ(defaults->date("focusReportedAt"), local(2026, 12, 2, 21));
    EXPECT_EQ(letters[0].text, S().todayGreeting(nbsp(S().duration(25))));
    EXPECT_FALSE(letters[0].update);
}

TEST_F(FocusReports, AClockSetYearsAheadForOneCheckDoesNotSilenceTheReports) {
    defaults->setDate("focusReportedAt", local(2026, 12, 1, 21));
    clock.set(local(2026, 12, 2, 10));
    auto log = start();
    book(*log, local(2026, 12, 2, 9), 1500, true);
    clock.set(local(2036, 12, 2, 21, 30)); // a wrong hardware clock, a VM snapshot restored
    log->checkReport();
    clock.set(local(2026, 12, 2, 10, 1)); // corrected
    log->checkReport();
    EXPECT_TRUE(letters.isEmpty());
    EXPECT_EQ(defaults->date("focusReportedAt"), local(2026, 12, 1, 21));
    clock.set(local(2026, 12, 2, 21));
    log->checkReport();
    ASSERT_EQ(letters.size(), 1);
    EXPECT_EQ(letters[0].text, S().todayGreeting(nbsp(S().duration(25))));
    EXPECT_EQ(defaults->date("focusReportedAt"), local(2026, 12, 2, 21));
}

TEST_F(FocusReports, FirstLaunchMarksYesterdaysSlotWithoutALetter) {
    clock.set(local(2026, 12, 2, 10));
    auto log = start();
    EXPECT_TRUE(log->reportTimerActive());
    log->checkReport();
    EXPECT_TRUE(letters.isEmpty());
    EXPECT_EQ(defaults->date("focusReportedAt"), local(2026, 12, 1, 21));
}

TEST_F(FocusReports, LessThanAMinuteSendsNothingButMarksTheSlot) {
    auto log = start();
    book(*log, local(2026, 12, 2, 9), 59);
    clock.set(local(2026, 12, 2, 21, 0, 30));
    log->checkReport();
    EXPECT_TRUE(letters.isEmpty());
    EXPECT_EQ(defaults->date("focusReportedAt"), local(2026, 12, 2, 21));
}

TEST_F(FocusReports, MissedSundayIsReportedMondayMorningWeekFirst) {
    defaults->setDate("focusReportedAt", local(2026, 12, 5, 21));
    auto log = start();
    book(*log, local(2026, 12, 3, 9), 1500, true);
    book(*log, local(2026, 12, 6, 9), 600);
    clock.set(local(2026, 12, 7, 8));
    log->checkReport();
    ASSERT_EQ(letters.size(), 2);
    EXPECT_EQ(letters[0].text, S().lastWeekGreeting(nbsp(S().duration(35))));
    ASSERT_TRUE(letters[0].report->bars.has_value());
    EXPECT_EQ(*letters[0].report->bars, (QList<double>{0, 0, 0, 1500, 0, 0, 600}));
    EXPECT_EQ(letters[1].text, S().yesterdayGreeting(nbsp(S().duration(10))));
    EXPECT_FALSE(letters[1].report->bars.has_value());
}

TEST_F(FocusReports, DayReportNotes) {
    clock.set(local(2026, 12, 2, 21, 30));
    auto log = start();
    log->setGoalMinutes(120);
    const QDateTime s1 = local(2026, 12, 2, 9), s2 = local(2026, 12, 2, 12);
    book(*log, local(2026, 12, 1, 9), 1500, true); // yesterday: a two-day streak
    book(*log, local(2026, 12, 2, 9), 1500, true, s1);
    book(*log, local(2026, 12, 2, 12), 1500, true, s2);
    book(*log, local(2026, 12, 2, 15), 1500, true);
    book(*log, local(2026, 12, 2, 16), 119); // 1 h 15 min and 119 s
    const Letter l = log->report(clock.now());
    ASSERT_TRUE(l.report.has_value());
    EXPECT_EQ(l.report->title, S().dayReportTitle());
    EXPECT_EQ(l.report->notes,
              (QStringList{QStringLiteral("🍅 ") + S().pomodoros(3),
                           S().goalProgress(nbsp(S().duration(76)), nbsp(S().duration(120))),
                           S().streak(2)}));
    EXPECT_EQ(l.report->rows, (QList<FocusReport::Row>{{"Work", nbsp(S().duration(76))}}));
    EXPECT_EQ(l.text, S().todayGreeting(nbsp(S().duration(76))));
}

TEST_F(FocusReports, DayReportShowsTheRunAndTheReachedGoal) {
    clock.set(local(2026, 12, 2, 21, 30));
    auto log = start();
    log->setGoalMinutes(30);
    const QDateTime sitting = local(2026, 12, 2, 9);
    book(*log, local(2026, 12, 2, 9), 1500, true, sitting);
    book(*log, local(2026, 12, 2, 9, 30), 1500, true, sitting);
    const QStringList notes = log->report(clock.now()).report->notes;
    ASSERT_EQ(notes.size(), 2);
    EXPECT_EQ(notes[0], QStringLiteral("🍅 ") + S().pomodoros(2) + ", " + S().runInARow(2));
    EXPECT_EQ(notes[1], S().goalReached(nbsp(S().duration(30))));
}

TEST_F(FocusReports, WeekReportWithoutPomodorosStillCountsThem) {
    clock.set(local(2026, 12, 6, 21));
    auto log = start();
    book(*log, local(2026, 12, 1, 9), 600);
    book(*log, local(2026, 12, 3, 9), 900);
    book(*log, local(2026, 12, 4, 9), 900); // ties with Thursday; the earlier day wins
    const Letter l = log->weekReport(clock.now());
    EXPECT_EQ(l.text, S().thisWeekGreeting(nbsp(S().duration(40))));
    EXPECT_EQ(l.report->title, S().weekReportTitle());
    EXPECT_EQ(l.report->notes,
              (QStringList{QStringLiteral("🍅 ") + S().pomodoros(0), S().focusDaysOfWeek(0),
                           S().bestDayNote(QLocale().dayName(4), nbsp(S().duration(15)))}));
}

} // namespace
