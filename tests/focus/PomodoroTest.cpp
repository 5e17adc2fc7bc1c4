#include "focus/Pomodoro.h"

#include "FocusTestSupport.h"
#include "fakes/Fakes.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Phase = Pomodoro::Phase;

struct PomodoroTest : ::testing::Test {
    TempSettingsStore defaults;
    FakeClock clock{local(2026, 12, 7, 10)};
    FocusLog log{*defaults, clock};
    std::unique_ptr<Pomodoro> pomodoro;
    QList<Phase> changes;

    void SetUp() override { make(); }
    void make() {
        pomodoro = std::make_unique<Pomodoro>(*defaults, clock, log);
        pomodoro->onChange = [this](const Phase& p) { changes << p; };
    }
    // Awake: both clocks move, one tick a second.
    void runFor(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1);
            pomodoro->tick();
        }
    }
};

TEST_F(PomodoroTest, WorkTurnsToRestOnTheFirstTickAtTheEndAndRestKeepsItsSchedule) {
    pomodoro->start();
    EXPECT_TRUE(pomodoro->timerActive());
    ASSERT_EQ(changes, QList<Phase>{Phase::work(local(2026, 12, 7, 10, 25))});
    EXPECT_EQ(pomodoro->remaining(), 1500.0);
    runFor(1499);
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 10, 25)));
    clock.advance(1.7); // a late tick
    pomodoro->tick();
    EXPECT_EQ(pomodoro->phase(), Phase::rest(local(2026, 12, 7, 10, 30)));
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_TRUE(log.stretches()[0].completed);
    EXPECT_DOUBLE_EQ(log.stretches()[0].seconds, 1500);
    EXPECT_EQ(changes.size(), 2);
    EXPECT_FALSE(log.current().has_value());
}

TEST_F(PomodoroTest, SleepIsNeverBookedAndEveryEndedPeriodIsWalked) {
    pomodoro->start();    // 10:00, 25/5
    runFor(600);          // awake until 10:10
    clock.sleep(50 * 60); // asleep until 11:00
    changes.clear();
    pomodoro->tick();
    // The 10:00 period ends with its ten minutes, not completed; the 10:30 one counted
    // nothing and is dropped; the tick ends in the 11:00 period and announces only it.
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_FALSE(log.stretches()[0].completed);
    EXPECT_NEAR(log.stretches()[0].seconds, 600, 1e-6);
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 11, 25)));
    EXPECT_EQ(changes, QList<Phase>{pomodoro->phase()});
    ASSERT_TRUE(log.current().has_value());
    EXPECT_EQ(log.current()->sitting, local(2026, 12, 7, 10));
    EXPECT_DOUBLE_EQ(log.current()->seconds, 0);
    runFor(10);
    EXPECT_NEAR(log.current()->seconds, 10, 1e-6);
}

// Every period passed one by one, as a tick after a long sleep must end up.
Phase walked(Phase p, const QDateTime& now, int workMinutes, int breakMinutes) {
    for (;;) {
        if (p.kind == Phase::Kind::work && now >= p.until)
            p = Phase::rest(p.until.addSecs(breakMinutes * 60));
        else if (p.kind == Phase::Kind::rest && now >= p.until)
            p = Phase::work(p.until.addSecs(workMinutes * 60));
        else
            return p;
    }
}

TEST_F(PomodoroTest, ASleepOfAnyLengthEndsWhereWalkingEveryPeriodWould) {
    // Ten minutes of work, then the machine sleeps: for every whole minute up to four hours
    // (all period ends included), then for ten years.
    QList<double> jumps;
    for (int m = 0; m <= 240; ++m)
        jumps << m * 60.0;
    jumps << 0.5 << 899.999 << 3650.0 * 86400;
    for (const double jump : jumps) {
        FakeClock c{local(2026, 12, 7, 10)};
        FocusLog scratch(c, {});
        Pomodoro p(*defaults, c, scratch);
        p.setWorkMinutes(25);
        p.setBreakMinutes(5);
        QList<Phase> announced;
        p.onChange = [&](const Phase& ph) { announced << ph; };
        p.start();
        c.advance(600);
        p.tick();
        c.sleep(jump);
        announced.clear();
        int phases = 0, opened = 0;
        QObject::connect(&p, &Pomodoro::phaseChanged, [&] { ++phases; });
        QObject::connect(&scratch, &FocusLog::currentChanged, [&] { ++opened; });
        p.tick();

        const Phase running = Phase::work(local(2026, 12, 7, 10, 25));
        const Phase expected = walked(running, c.now(), 25, 5);
        ASSERT_EQ(p.phase(), expected) << "jump of " << jump << " s";
        // Only the period that was running books its ten minutes.
        const QList<FocusLog::Stretch> all = scratch.all();
        ASSERT_FALSE(all.isEmpty());
        EXPECT_NEAR(all[0].seconds, 600, 1e-6);
        const bool working = expected.kind == Phase::Kind::work;
        ASSERT_EQ(all.size(), expected == running ? 1 : working ? 2 : 1) << "jump of " << jump;
        ASSERT_EQ(scratch.current().has_value(), working) << "jump of " << jump << " s";
        if (working && expected != running) {
            EXPECT_EQ(scratch.current()->start, c.now());
        }
        EXPECT_EQ(announced, expected == running ? QList<Phase>{} : QList<Phase>{expected});
        // Constant work: no more than one work-rest-work change whatever the jump.
        EXPECT_LE(phases, 3) << "jump of " << jump << " s";
        EXPECT_LE(opened, 4) << "jump of " << jump << " s";
    }
}

TEST_F(PomodoroTest, WallClockJumpsBackwardsBookNothing) {
    pomodoro->start();
    runFor(60);
    clock.jumpWallClock(-120);
    pomodoro->tick();
    EXPECT_NEAR(log.current()->seconds, 60, 1e-6);
    clock.advance(1); // counting goes on from the new wall-clock time
    pomodoro->tick();
    EXPECT_NEAR(log.current()->seconds, 61, 1e-6);
}

TEST_F(PomodoroTest, SettingTheClockNeitherStretchesNorCutsAPeriod) {
    pomodoro->start(); // 10:00, 25/5
    runFor(300);
    // Set back an hour: the countdown goes on from where it was, and the end it shows moves.
    clock.jumpWallClock(-3600);
    pomodoro->tick();
    EXPECT_NEAR(*pomodoro->remaining(), 1200, 1e-6);
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 9, 25)));
    runFor(300);
    EXPECT_NEAR(*pomodoro->remaining(), 900, 1e-6);
    // Forward two hours: the period is not over; it ends after its 25 minutes of work.
    clock.jumpWallClock(7200);
    pomodoro->tick();
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 11, 25)));
    EXPECT_TRUE(log.stretches().isEmpty());
    runFor(899);
    EXPECT_EQ(pomodoro->phase().kind, Phase::Kind::work);
    runFor(1);
    EXPECT_EQ(pomodoro->phase(), Phase::rest(local(2026, 12, 7, 11, 30)));
    // One stretch, started at 10:00 as booked then, completed with its whole 25 minutes.
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_TRUE(log.stretches()[0].completed);
    EXPECT_DOUBLE_EQ(log.stretches()[0].seconds, 1500);
    EXPECT_EQ(log.stretches()[0].start, local(2026, 12, 7, 10));
    // The phase the cat hears of carries the moved ends, announced once each.
    EXPECT_EQ(changes.size(), 4);
}

TEST_F(PomodoroTest, StopBooksTheLastPartialSecondAndEndsTheSitting) {
    QStringList cheers;
    log.onCheer = [&](const QString& t) { cheers << t; };
    pomodoro->start();
    runFor(120);
    clock.advance(0.5);
    pomodoro->stop();
    EXPECT_EQ(pomodoro->phase(), Phase::off());
    EXPECT_FALSE(pomodoro->timerActive());
    EXPECT_FALSE(pomodoro->remaining().has_value());
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_NEAR(log.stretches()[0].seconds, 120.5, 1e-6);
    EXPECT_FALSE(log.stretches()[0].completed);
    EXPECT_EQ(cheers.size(), 1); // two minutes in the bank
    EXPECT_EQ(changes.last(), Phase::off());
    changes.clear();
    pomodoro->stop();
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(PomodoroTest, StartThenStopLeavesNoTrace) {
    pomodoro->start();
    clock.advance(0.3);
    pomodoro->stop();
    EXPECT_TRUE(log.stretches().isEmpty());
    EXPECT_FALSE(defaults->data("focusLog").has_value());
}

TEST_F(PomodoroTest, StopJustAfterTheEndKeepsThePeriodCompleted) {
    pomodoro->start();
    runFor(1499);
    clock.advance(1.4); // the period ended 0.4 s ago; its tick has not come yet
    pomodoro->stop();
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_TRUE(log.stretches()[0].completed);
    EXPECT_EQ(pomodoro->phase(), Phase::off());
}

TEST_F(PomodoroTest, SecondStartDoesNotReplaceTheOpenStretch) {
    pomodoro->start();
    runFor(300);
    clock.advance(1);
    pomodoro->start();
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 10, 25)));
    EXPECT_EQ(log.current()->start, local(2026, 12, 7, 10));
    EXPECT_EQ(changes.size(), 1);
}

TEST_F(PomodoroTest, StoredSettingsAreUsedAndWrittenBack) {
    defaults->setInteger("pomodoroWorkMinutes", 7);
    defaults->setText("pomodoroBreakMinutes", "five");
    make();
    EXPECT_EQ(pomodoro->workMinutes(), 7);
    EXPECT_EQ(pomodoro->breakMinutes(), 5);
    EXPECT_EQ(pomodoro->activity(), FocusLog::defaultActivity());
    pomodoro->setBreakMinutes(10);
    pomodoro->setActivity("  Reading ");
    EXPECT_EQ(defaults->integer("pomodoroBreakMinutes"), 10);
    pomodoro->start();
    EXPECT_EQ(pomodoro->activity(), "Reading");
    EXPECT_EQ(defaults->text("pomodoroActivity"), "Reading");
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 10, 7)));
    EXPECT_DOUBLE_EQ(log.current()->planned, 420);
    // Changing the length while running applies from the next period.
    pomodoro->setWorkMinutes(30);
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 10, 7)));
}

TEST_F(PomodoroTest, AStoredPeriodOfNoMinutesFallsBackInsteadOfSpinning) {
    defaults->setInteger("pomodoroWorkMinutes", 0);
    defaults->setInteger("pomodoroBreakMinutes", -3);
    make();
    EXPECT_EQ(pomodoro->workMinutes(), 25);
    EXPECT_EQ(pomodoro->breakMinutes(), 5);
    pomodoro->setWorkMinutes(0);
    pomodoro->setBreakMinutes(0);
    pomodoro->start();
    runFor(3); // would never return if periods had no length
    EXPECT_EQ(pomodoro->phase(), Phase::work(local(2026, 12, 7, 10, 1)));
}

TEST_F(PomodoroTest, QuittingTheApplicationBooksTheOpenStretch) {
    pomodoro->start();
    runFor(90);
    // Quit from inside a running event loop, as the app does on exit.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    EXPECT_EQ(pomodoro->phase(), Phase::off());
    ASSERT_EQ(log.stretches().size(), 1);
    EXPECT_NEAR(log.stretches()[0].seconds, 90, 1e-6);
    EXPECT_FALSE(FocusLog(*defaults, clock).stretches().isEmpty());
}

} // namespace
