#include "app/ModelWiring.h"

#include "CatHarness.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "reminders/Reminders.h"

#include <QUuid>

namespace {

struct Wiring : CatTest {
    std::unique_ptr<FocusLog> log;
    std::unique_ptr<Reminders> reminders;
    std::unique_ptr<Pomodoro> pomodoro;

    void SetUp() override {
        CatTest::SetUp();
        make();
        log = std::make_unique<FocusLog>(*defaults, clock);
        reminders = std::make_unique<Reminders>(*defaults, clock);
        pomodoro = std::make_unique<Pomodoro>(*defaults, clock, *log);
        ModelWiring::connect(*cat, *log, *reminders, *pomodoro);
    }
};

} // namespace

TEST_F(Wiring, DueRemindersAndReportsReachTheCatAsLetters) {
    reminders->insert(
        {QUuid::createUuid(), QStringLiteral("Water the plants"), clock.now().addSecs(30), false});
    clock.advance(31);
    reminders->check();
    ASSERT_EQ(cat->letters().size(), 1u);
    EXPECT_EQ(cat->letters()[0], (Letter{QStringLiteral("Water the plants"), {}, false}));
    EXPECT_EQ(cat->state.unread(), 1);

    const Letter report = log->report(clock.now());
    ASSERT_TRUE(report.report.has_value());
    log->onReport(report);
    ASSERT_EQ(cat->letters().size(), 2u);
    EXPECT_EQ(cat->letters()[1], report);
}

TEST_F(Wiring, ACheerIsTheCatsCaptionForFiveSeconds) {
    log->onCheer(QStringLiteral("Daily goal reached! 🎯"));
    const auto& cheer = cat->captions().cheer();
    ASSERT_TRUE(cheer.has_value());
    EXPECT_EQ(cheer->text, QStringLiteral("Daily goal reached! 🎯"));
    EXPECT_DOUBLE_EQ(cheer->until, now() + 5);
}

TEST_F(Wiring, PomodoroPhasesTellTheCatToFocusRestOrNeither) {
    std::vector<ModelWiring::CatFocus> told;
    const auto wired = pomodoro->onChange;
    pomodoro->onChange = [&](const Pomodoro::Phase& phase) {
        told.push_back(ModelWiring::catFocus(phase));
        wired(phase);
    };
    pomodoro->setWorkMinutes(25);
    pomodoro->setBreakMinutes(5);
    pomodoro->start();
    clock.advance(25 * 60 + 1);
    pomodoro->tick();
    const QDateTime breakEnd = pomodoro->phase().until;
    pomodoro->stop();

    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[0], (ModelWiring::CatFocus{true, std::nullopt}));
    EXPECT_EQ(told[1], (ModelWiring::CatFocus{false, StoredDate::toSeconds(breakEnd)}));
    EXPECT_EQ(told[2], (ModelWiring::CatFocus{false, std::nullopt}));
    // The break ends five minutes after the work period did, in engine seconds.
    EXPECT_NEAR(*told[1].breakUntil, now() + 5 * 60 - 1, 1.5);
}
