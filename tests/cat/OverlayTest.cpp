#include "CatHarness.h"
#include "cat/Ticker.h"

#include <QEventLoop>
#include <QTimer>

using K = Activity::Kind;

namespace {

class OverlayTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        fresh();
    }
    // A cat on screen with its panel.
    void fresh() {
        make();
        cat->enter(false);
    }
    // Ticks about 60 times a second (the fake clock counts whole milliseconds) until the
    // activity is no longer `k`, for at most `limit` seconds.
    double runWhile(K k, double limit = 60) {
        double spent = 0;
        while (kind() == k && spent < limit) {
            tickAfter(0.016);
            spent += 0.016;
        }
        return spent;
    }
};

TEST_F(OverlayTest, EnterWalksInFromTheLeftAndStopsAtTheEntrySpot) {
    make();
    LogCapture log;
    cat->enter(false);
    auto s = cat->snapshot();
    EXPECT_EQ(s.x, -130);
    EXPECT_EQ(s.feetY, 52);
    ASSERT_TRUE(s.activity.is(K::walking));
    const double entry = 1920 * 0.21; // the middle of 12 … 30 % of the width
    EXPECT_DOUBLE_EQ(s.activity.as<activity::Walking>()->to, entry);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->visible);
    EXPECT_EQ(panel->rect, (Rect{-195, 36, 130, 150}));
    EXPECT_TRUE(log.messages().contains("cat panel shown at {{-195, 36}, {130, 150}}"));
    EXPECT_TRUE(log.messages().contains("cat: walking(to: 403.2, then: rest)"));

    const double took = runWhile(K::walking);
    s = cat->snapshot();
    EXPECT_TRUE(s.activity.is(K::idle));
    EXPECT_EQ(s.x, entry);
    EXPECT_TRUE(cat->state.facingRight());
    EXPECT_NEAR(took, (entry + 130) / CatOverlay::plainWalk.speed, 0.05);
    EXPECT_EQ(panel->rect, (Rect{entry - 65, 36, 130, 150}));
}

TEST_F(OverlayTest, WalkingSpeedsAndClampedFrames) {
    probe().settle(500);
    probe().start(Activity::walking(1000, Arrival::rest()), now());
    tickAfter(5); // a stalled frame counts as a tenth of a second
    EXPECT_DOUBLE_EQ(cat->snapshot().x, 500 + 0.1 * CatOverlay::plainWalk.speed);

    probe().settle(500);
    carryLetter();
    probe().start(Activity::walking(1000, Arrival::rest()), now());
    tickAfter(0.1);
    EXPECT_DOUBLE_EQ(cat->snapshot().x, 504.6);

    // A clock set back moves nothing.
    clock.jumpWallClock(-30);
    cat->tick();
    EXPECT_DOUBLE_EQ(cat->snapshot().x, 504.6);
}

TEST_F(OverlayTest, WalkToOwnPositionArrivesAtOnceFacingLeft) {
    probe().settle(500);
    probe().start(Activity::walking(500, Arrival::rest()), now());
    cat->tick();
    EXPECT_TRUE(cat->snapshot().activity.is(K::idle));
    EXPECT_EQ(cat->snapshot().x, 500);
    EXPECT_FALSE(cat->state.facingRight());
}

TEST_F(OverlayTest, RestWalkGivesWayToErrandsOtherWalksDoNot) {
    const std::vector<std::function<void()>> reasons{
        [&] { cat->deliver(Letter{}); },
        [&] { cat->setPomodoro(false, now() + 300); },
        [&] { cat->setPomodoro(true, std::nullopt); },
        [&] {
            // A break announced as it ends: its bed time has come. The wave took the walk's
            // place, so the walk begins again.
            cat->setPomodoro(false, now());
            probe().arrive(Arrival::announce(), now());
            probe().start(Activity::walking(1500, Arrival::rest()), now());
        },
    };
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        fresh();
        probe().settle(500);
        probe().start(Activity::walking(1500, Arrival::rest()), now());
        tickAfter(0.02);
        ASSERT_EQ(kind(), K::walking) << i;
        reasons[i]();
        tickAfter(0.02);
        EXPECT_EQ(kind(), K::idle) << "reason " << i;
    }

    fresh();
    probe().settle(500);
    cat->setPomodoro(false, now() + 30);
    probe().arrive(Arrival::announce(), now()); // bed in 10 s: not yet
    probe().start(Activity::walking(1500, Arrival::rest()), now());
    tickAfter(0.02);
    EXPECT_EQ(kind(), K::walking);

    cat->setPomodoro(false, std::nullopt);
    cat->setPomodoro(false, now() + 300); // news of a new break
    cat->deliver(Letter{});
    probe().start(Activity::walking(-130, Arrival::fetch()), now());
    tickAfter(0.02);
    EXPECT_EQ(kind(), K::walking);
}

TEST_F(OverlayTest, WalkingOffTheVisibleTopOrLosingTheWindowMeansFalling) {
    probe().settle(650);
    showWindows({window(1, {100, 200, 600, 300})});
    probe().platform() = Platform::on(cat->polledWindows()[0]);
    probe().feetY() = 500;
    probe().start(Activity::walking(695, Arrival::rest()), now());
    runWhile(K::walking);
    EXPECT_EQ(kind(), K::falling);
    EXPECT_GT(cat->snapshot().x, 690);
    EXPECT_LT(cat->snapshot().x, 695);

    // Stopping short of the margin is fine.
    probe().settle(650);
    probe().platform() = Platform::on(cat->polledWindows()[0]);
    probe().feetY() = 500;
    probe().start(Activity::walking(689, Arrival::rest()), now());
    runWhile(K::walking);
    EXPECT_EQ(kind(), K::idle);

    probe().start(Activity::walking(600, Arrival::rest()), now());
    tickAfter(0.02);
    ASSERT_EQ(kind(), K::walking);
    windowList.set({});
    tickAfter(0.06);
    EXPECT_EQ(kind(), K::falling);
}

TEST_F(OverlayTest, SleepinessFollowsTheHourOfTheDay) {
    const auto decideAt = [&](int h, int m, int s, double idleSeconds) {
        at(h, m, s);
        probe().settle(500);
        probe().nextYawn() = now();
        input.any = idleSeconds;
        probe().decide(now());
        return cat->snapshot().activity;
    };
    // Daytime: no spontaneous yawns, sleep after three minutes.
    EXPECT_TRUE(decideAt(22, 59, 59, 61).is(K::idle));
    EXPECT_TRUE(decideAt(22, 59, 59, 181).is(K::yawning));
    // Night from 23:00: sleep after a minute, and the yawn timer counts.
    auto a = decideAt(23, 0, 0, 61);
    ASSERT_TRUE(a.is(K::yawning));
    EXPECT_EQ(a.as<activity::Yawning>()->then, AfterYawn::sleep);
    a = decideAt(23, 0, 0, 30);
    ASSERT_TRUE(a.is(K::yawning));
    EXPECT_EQ(a.as<activity::Yawning>()->then, AfterYawn::idle);
    EXPECT_TRUE(decideAt(5, 59, 59, 61).is(K::yawning));
    // From 06:00 the day rules hold again.
    EXPECT_TRUE(decideAt(6, 0, 0, 61).is(K::idle));
    EXPECT_TRUE(decideAt(6, 0, 0, 30).is(K::idle));
}

TEST_F(OverlayTest, NightYawnRestartsItsTimer) {
    at(23, 30);
    probe().settle(500);
    probe().nextYawn() = now();
    input.any = 10;
    probe().decide(now());
    EXPECT_TRUE(cat->snapshot().activity.is(K::yawning));
    tickAfter(1.05);
    EXPECT_EQ(kind(), K::yawning);
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::idle); // and the next yawn is three minutes off
    tickAfter(170);
    EXPECT_EQ(kind(), K::idle);
    tickAfter(11);
    EXPECT_EQ(kind(), K::yawning);
}

TEST_F(OverlayTest, SleepingCatWakesOnInputLettersAndBreaks) {
    probe().settle(500);
    probe().start(Activity::sleeping(), now());
    input.any = 1.5;
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::sleeping);
    EXPECT_TRUE(cat->state.sleeping());
    input.any = 1.4;
    tickAfter(0.1);
    ASSERT_EQ(kind(), K::yawning);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Yawning>()->then, AfterYawn::wake);
    EXPECT_FALSE(cat->state.sleeping());
    tickAfter(1.2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->state.sprite(), CatSprite::happy);
    EXPECT_TRUE(cat->state.hearts());
    tickAfter(1.4);
    EXPECT_TRUE(cat->state.hearts());
    tickAfter(0.2);
    EXPECT_FALSE(cat->state.hearts());

    input.any = 100;
    probe().start(Activity::sleeping(), now());
    cat->deliver(Letter{});
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::yawning);

    fresh();
    probe().settle(500);
    probe().start(Activity::sleeping(), now());
    cat->setPomodoro(false, now() + 300);
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::yawning);
}

TEST_F(OverlayTest, LetterErrandComesFirstAndTheCatReturnsCarrying) {
    at(23, 30);
    probe().settle(500);
    cat->deliver(Letter{});
    probe().nextSnack() = probe().nextWander() = probe().nextYawn() = now();
    cat->makeDue(CatOverlay::Due::climb);
    input.any = 1000;
    probe().decide(now());
    auto s = cat->snapshot();
    ASSERT_TRUE(s.activity.is(K::walking));
    EXPECT_EQ(s.activity.as<activity::Walking>()->to, -130); // the nearer edge
    EXPECT_EQ(s.activity.as<activity::Walking>()->then.kind, Arrival::Kind::fetch);

    runWhile(K::walking);
    ASSERT_EQ(kind(), K::away);
    tickAfter(1.0 / 60);
    s = cat->snapshot();
    EXPECT_TRUE(s.carrying);
    EXPECT_EQ(s.x, -130);
    ASSERT_TRUE(s.activity.is(K::walking));
    EXPECT_EQ(s.activity.as<activity::Walking>()->then.kind, Arrival::Kind::rest);
    tickAfter(1.0 / 60);
    const auto& gait = CatSprite::walkLetterLoop();
    EXPECT_NE(std::find(gait.begin(), gait.end(), cat->state.sprite()), gait.end());

    runWhile(K::walking);
    EXPECT_EQ(kind(), K::idle);
    // Carrying, it waits: no snack, climb, wander, yawn or sleep.
    probe().nextSnack() = probe().nextWander() = probe().nextYawn() = now();
    cat->makeDue(CatOverlay::Due::climb);
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sitLetter);

    // From the right half the nearer edge is the right one.
    fresh();
    probe().settle(1500);
    cat->deliver(Letter{});
    probe().decide(now());
    EXPECT_EQ(cat->snapshot().activity.as<activity::Walking>()->to, 2050);
}

TEST_F(OverlayTest, IdleCatSnacksAndWanders) {
    probe().settle(500);
    probe().nextSnack() = now();
    probe().decide(now());
    EXPECT_EQ(kind(), K::snacking);
    tickAfter(6.2);
    EXPECT_EQ(kind(), K::snacking);
    tickAfter(0.2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_TRUE(cat->state.hearts());

    // The climb is due but there is nothing to climb: the cat wanders instead.
    probe().settle(500);
    probe().nextWander() = now();
    cat->makeDue(CatOverlay::Due::climb);
    random.fractions = {0.5, 0.5, 0.0};
    const double t = now();
    probe().decide(t);
    const auto s = cat->snapshot();
    ASSERT_TRUE(s.activity.is(K::walking));
    EXPECT_EQ(s.activity.as<activity::Walking>()->to, 288); // the left end of the floor range
    EXPECT_EQ(s.activity.as<activity::Walking>()->then.kind, Arrival::Kind::rest);
    EXPECT_DOUBLE_EQ(cat->climbing().nextClimb(), t + 42.5);
    EXPECT_DOUBLE_EQ(probe().nextWander(), t + 14);

    // Not due: stays put.
    probe().settle(500);
    probe().decide(now());
    EXPECT_EQ(kind(), K::idle);
}

TEST_F(OverlayTest, TimedActivitiesEnd) {
    struct Case {
        Activity a;
        double before, after;
        bool happy;
    };
    const std::vector<Case> cases{
        {Activity::yawning(AfterYawn::idle), 1.05, 1.15, false},
        {Activity::landing(), 0.4, 0.5, false},
        {Activity::eating(), 2.35, 2.45, true},
        {Activity::waving(), 2.75, 2.85, false},
    };
    for (const Case& c : cases) {
        fresh();
        probe().settle(500);
        probe().start(c.a, now());
        tickAfter(c.before);
        EXPECT_EQ(kind(), c.a.kind()) << c.a.description().toStdString();
        tickAfter(c.after - c.before);
        EXPECT_EQ(kind(), K::idle) << c.a.description().toStdString();
        EXPECT_EQ(cat->state.hearts(), c.happy) << c.a.description().toStdString();
    }

    // Petting lasts while strokes keep coming.
    fresh();
    probe().settle(500);
    for (const double dx : {30, -30, 30})
        cat->stroke(dx);
    ASSERT_EQ(kind(), K::petting);
    tickAfter(0.7);
    EXPECT_EQ(kind(), K::petting);
    EXPECT_TRUE(cat->state.hearts());
    tickAfter(0.2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_TRUE(cat->state.hearts()); // happy for 0.8 s more
}

TEST_F(OverlayTest, Arrivals) {
    probe().settle(300);
    showWindows({window(1, {200, 100, 400, 500})});
    const DesktopWindow w = cat->polledWindows()[0];
    probe().arrive(Arrival::climb(w), now());
    EXPECT_EQ(kind(), K::climbingUp);
    EXPECT_EQ(cat->snapshot().feetY, 40 + 12 + 16 - 10); // climb1 stands on the floor

    probe().settle(300);
    probe().arrive(Arrival::climb(DesktopWindow{1, {200, 100, 400, 501}}), now()); // it moved
    EXPECT_EQ(kind(), K::idle);

    probe().arrive(Arrival::fetch(), now());
    ASSERT_EQ(kind(), K::away);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Away>()->until, now());

    probe().arrive(Arrival::bed(), now()); // no bed
    EXPECT_EQ(kind(), K::idle);

    // A break announced with a minute left: bed 20 s later; with ten minutes: 45 s later.
    const FocusPhase& phase = cat->focusPhase();
    cat->setPomodoro(false, now() + 60);
    ASSERT_TRUE(phase.hasNews());
    probe().arrive(Arrival::announce(), now());
    EXPECT_EQ(kind(), K::waving);
    EXPECT_FALSE(phase.hasNews());
    EXPECT_DOUBLE_EQ(*phase.breakBedAt(), now() + 20);
    cat->setPomodoro(false, now() + 600);
    probe().arrive(Arrival::announce(), now());
    EXPECT_DOUBLE_EQ(*phase.breakBedAt(), now() + 45);
    cat->setPomodoro(false, now() - 5);
    probe().arrive(Arrival::announce(), now());
    EXPECT_DOUBLE_EQ(*phase.breakBedAt(), now());
}

TEST_F(OverlayTest, BreakNewsSendsTheCatToThePointer) {
    probe().settle(500);
    cat->setPomodoro(false, now() + 300);
    pointer.at = QPointF(1900, 600);
    probe().decide(now());
    auto s = cat->snapshot();
    ASSERT_TRUE(s.activity.is(K::walking));
    EXPECT_EQ(s.activity.as<activity::Walking>()->to, 1860);
    EXPECT_EQ(s.activity.as<activity::Walking>()->then.kind, Arrival::Kind::announce);

    // During a call outside focusing the news waits: the cat heads for its bed instead.
    probe().settle(500);
    setCall(true);
    probe().decide(now());
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Walking>()->then.kind, Arrival::Kind::bed);
}

TEST_F(OverlayTest, BlinksAndEatenBubbleExpire) {
    probe().settle(500);
    cat->tick();
    probe().nextBlink() = now();
    cat->tick();
    EXPECT_EQ(cat->state.sprite(), CatSprite::sitBlink);
    tickAfter(0.1);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sitBlink);
    tickAfter(0.1);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sit);
    // The next blink is 2.5 … 6 s away.
    EXPECT_DOUBLE_EQ(probe().nextBlink(), now() - 0.2 + 4.25);

    cat->tapCat(); // hearts for 1.2 s
    probe().nextBlink() = now();
    cat->tick();
    EXPECT_EQ(cat->state.sprite(), CatSprite::happy); // happy wins over a blink

    // The fake trash answers at once: the bubble comes with the drop.
    ASSERT_TRUE(cat->feed({QUrl::fromLocalFile(QStringLiteral("/home/u/a.txt"))}));
    ASSERT_NE(cat->state.eaten(), nullptr);
    tickAfter(7.9);
    EXPECT_NE(cat->state.eaten(), nullptr);
    tickAfter(0.2);
    EXPECT_EQ(cat->state.eaten(), nullptr);
}

TEST_F(OverlayTest, StartLogsTheActivityCutTo120Characters) {
    LogCapture log;
    probe().settle(500);
    probe().start(Activity::idle(), now());
    const DesktopWindow w{123456, {1000.25, 2000.5, 3000.75, 4000.125}};
    probe().start(Activity::jumping(QPointF(1.5, 2.5), QPointF(3.5, 4.5), Landing::top(w), true),
                  now());
    ASSERT_EQ(log.messages().size(), 2);
    EXPECT_EQ(log.messages()[0], "cat: idle");
    const QString full = cat->snapshot().activity.description();
    ASSERT_GT(full.size(), 120);
    EXPECT_EQ(log.messages()[1], "cat: " + full.left(120));
}

TEST_F(OverlayTest, EngineDatesMatchTheWallClockAcrossZoneChanges) {
    // Local dates in summer and winter time, and over the spring-forward hour.
    for (const QDateTime& d :
         {QDateTime(QDate(2026, 7, 1), QTime(12, 0, 0, 250)),
          QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59)),
          QDateTime(QDate(2026, 3, 29), QTime(1, 59, 59)),
          QDateTime(QDate(2026, 3, 29), QTime(3, 0, 0)),
          QDateTime(QDate(2026, 10, 25), QTime(3, 0, 0)), QDateTime::currentDateTimeUtc()}) {
        clock.set(d);
        EXPECT_DOUBLE_EQ(now(), StoredDate::toSeconds(d)) << d.toString().toStdString();
    }
    clock.set(QDateTime(QDate(2026, 3, 29), QTime(1, 59, 59)));
    const double before = now();
    clock.advance(1); // 01:59:59 CET is followed by 03:00:00 CEST
    EXPECT_EQ(clock.now().time(), QTime(3, 0));
    EXPECT_DOUBLE_EQ(now() - before, 1);
}

TEST_F(OverlayTest, FrameClockRunsOnlyWithAScreen) {
    int fired = 0;
    Ticker ticker([&] { ++fired; }, 100);
    QEventLoop loop;
    QTimer::singleShot(120, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GE(fired, 5);

    make(true, true);
    cat->enter(false);
    EXPECT_TRUE(probe().hasFrameClock());
    screens.present = false;
    make(true, true);
    cat->enter(false);
    EXPECT_FALSE(probe().hasFrameClock());
}

TEST_F(OverlayTest, WithoutAScreenNothingBreaks) {
    screens.present = false;
    fresh();
    EXPECT_EQ(cat->snapshot().x, -130);
    EXPECT_EQ(cat->snapshot().feetY, 12);
    windowList.set({window(1, {0, 0, 500, 500})});
    tickAfter(0.1);
    tickAfter(0.1);
    EXPECT_TRUE(cat->polledWindows().empty());
}

} // namespace
