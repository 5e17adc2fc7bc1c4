#include "stats/StatsScreen.h"

#include "StatsSupport.h"
#include "fakes/Fakes.h"
#include "kit/ChunkyButton.h"
#include "kit/Theme.h"
#include "kit/WeekBars.h"
#include "stats/Bar.h"
#include "stats/GoalStepper.h"
#include "stats/ShareRows.h"
#include "stats/StatsCards.h"
#include "strings/Strings.h"

#include <QScrollArea>
#include <gtest/gtest.h>

namespace {

// Monday 7 December 2026 is the week's first day; "now" is Wednesday noon.
struct StatsScreenTest : ::testing::Test {
    EnglishLocale english;
    TempSettingsStore defaults;
    FakeClock clock{at(2026, 12, 9, 12, 0)};
    FakeScreens screens;
    std::unique_ptr<FocusLog> log;
    std::unique_ptr<StatsScreen> screen;
    int backs = 0;

    void open(QList<FocusLog::Stretch> stretches = {}) {
        log = std::make_unique<FocusLog>(clock, std::move(stretches));
        show();
    }
    void show() {
        screen = std::make_unique<StatsScreen>(
            *log, clock,
            [this]() -> std::optional<double> {
                if (!screens.hasScreen()) return std::nullopt;
                return screens.visibleFrame().height;
            },
            [this] { ++backs; });
        screen->resize(310, 600);
    }
};

TEST_F(StatsScreenTest, AFreshLogInvitesTheFirstPomodoro) {
    open();
    EXPECT_EQ(screen->streakCard()->title(), S().noStreak());
    EXPECT_EQ(screen->streakCard()->subtitle(), S().firstPomodoro());
    EXPECT_TRUE(screen->todayCard()->bar()->fillRect().isEmpty());
    EXPECT_EQ(screen->todayCard()->duration(), QStringLiteral("0\u00A0min"));
    EXPECT_TRUE(screen->todayCard()->pomodoros().isEmpty());
    EXPECT_TRUE(screen->weekCard()->showsEmptyNote());
    EXPECT_TRUE(screen->weekCard()->sitting().isEmpty());
    EXPECT_FALSE(screen->exportRow()->isVisibleTo(screen.get()));
}

TEST_F(StatsScreenTest, TheGoalIsReachedOnlyAtItsFullSeconds) {
    open({worked(at(2026, 12, 9, 9), 119 * 60 + 40, false)});
    TodayCard* today = screen->todayCard();
    EXPECT_EQ(today->duration(), QStringLiteral("2\u00A0h")); // rounded up for display
    EXPECT_EQ(today->goalText(), S().goal());
    EXPECT_EQ(today->bar()->fill(), Theme::pink());
    EXPECT_NEAR(today->bar()->fraction(), 7180.0 / 7200, 1e-9);

    // A running pomodoro counts the last 20 seconds: the screen follows without being asked.
    log->setCurrent(worked(at(2026, 12, 9, 11, 50), 0, false));
    log->count(20);
    EXPECT_EQ(today->goalText(), S().goalDone());
    EXPECT_EQ(today->bar()->fill(), Theme::mint());
    EXPECT_FALSE(screen->weekCard()->showsEmptyNote());
}

TEST_F(StatsScreenTest, TheGoalStepperWalksTheChoicesAndSaves) {
    auto stored = std::make_unique<FocusLog>(*defaults, clock);
    log = std::move(stored);
    log->setGoalMinutes(45); // stored by an older version, between two choices
    show();
    GoalStepper* stepper = screen->todayCard()->stepper();
    EXPECT_EQ(stepper->text(), "45 min"); // ordinary spaces in the stepper
    stepper->plus()->click();
    EXPECT_EQ(log->goalMinutes(), 60);
    EXPECT_EQ(defaults.reopened()->integer(FocusLog::goalKey), 60);
    EXPECT_EQ(stepper->text(), "1 h");
    log->setGoalMinutes(45);
    stepper->minus()->click();
    EXPECT_EQ(log->goalMinutes(), 30);
    EXPECT_FALSE(stepper->minus()->isEnabled());
    EXPECT_TRUE(stepper->plus()->isEnabled());
    log->setGoalMinutes(480);
    EXPECT_FALSE(stepper->plus()->isEnabled());
    EXPECT_EQ(GoalStepper::previous(480), 450);
    EXPECT_EQ(GoalStepper::next(10), 30);
    EXPECT_EQ(GoalStepper::next(600), std::nullopt);
}

TEST_F(StatsScreenTest, ExportsAppearFromOneMinuteInTheWeek) {
    open({worked(at(2026, 12, 7, 9), 59, false)});
    EXPECT_TRUE(screen->weekCard()->showsEmptyNote());
    EXPECT_FALSE(screen->exportRow()->isVisibleTo(screen.get()));
    // Last week's focus is not this week's.
    open({worked(at(2026, 12, 6, 9), 3000, true), worked(at(2026, 12, 7, 9), 59, false)});
    EXPECT_FALSE(screen->exportRow()->isVisibleTo(screen.get()));
    open({worked(at(2026, 12, 7, 9), 59, false), worked(at(2026, 12, 8, 9), 1, false)});
    EXPECT_TRUE(screen->exportRow()->isVisibleTo(screen.get()));
    EXPECT_EQ(screen->weekCard()->total(), QStringLiteral("1\u00A0min"));
}

TEST_F(StatsScreenTest, TheWeekCardShowsBarsSharesStreakAndSittings) {
    // Mon and Tue: two sittings; Wednesday (today) a run of two in one sitting.
    const QDateTime sitting = at(2026, 12, 9, 9);
    FocusLog::Stretch a = worked(sitting, 1500, true, "Reading");
    FocusLog::Stretch b = worked(sitting.addSecs(1800), 1500, true, "Reading");
    FocusLog::Stretch c = worked(at(2026, 12, 8, 9), 600, false, "Mail");
    FocusLog::Stretch d = worked(at(2026, 12, 7, 9), 1500, true, "Mail");
    b.sitting = sitting;
    open({d, c, a, b});
    // Wednesday and Monday count; Tuesday had no completed pomodoro and is forgiven.
    EXPECT_EQ(screen->streakCard()->title(), S().streak(2));
    EXPECT_EQ(screen->streakCard()->subtitle(), S().dayMissedThisWeek());
    EXPECT_EQ(screen->todayCard()->pomodoros(),
              QStringLiteral("🍅 ") + S().pomodoros(2) + " · " + S().runInARow(2));
    WeekBars* bars = screen->weekCard()->bars();
    EXPECT_EQ(bars->today(), 2);
    EXPECT_EQ(bars->seconds()[2], 3000);
    EXPECT_EQ(screen->weekCard()->shares()->fractions(),
              (QList<double>{3000.0 / 5100, 2100.0 / 5100}));
    // 5100 s over three sittings is 28 min; 3 pomodoros over three sittings is "1".
    EXPECT_EQ(screen->weekCard()->sitting(),
              S().sittingAverage(QStringLiteral("28\u00A0min"), "1"));
    EXPECT_EQ(WeekCard::pomodorosPerSitting(2.5), "2.5");
    EXPECT_EQ(WeekCard::pomodorosPerSitting(2.96), "3");
}

TEST_F(StatsScreenTest, TheScrollAreaIsAsTallAsTheCardsUpToTheWorkArea) {
    QList<FocusLog::Stretch> many;
    for (int i = 0; i < 5; ++i)
        many << worked(at(2026, 12, 8, 9 + i), 1500, true, QStringLiteral("Activity %1").arg(i));
    open(many);
    screen->show();
    const double cards = screen->cardsHeight();
    EXPECT_GT(cards, 300);
    EXPECT_EQ(screen->scrollArea()->height(), int(std::ceil(cards)));
    // A small screen: the cards scroll inside work area − 150.
    screens.visible = Rect{0, 0, 800, 450};
    show();
    screen->show();
    EXPECT_EQ(screen->scrollArea()->height(), 300);
    EXPECT_EQ(StatsScreen::scrollLimit(std::nullopt), 650);
    EXPECT_EQ(StatsScreen::scrollLimit(100), 0);
}

} // namespace
