#include "CatHarness.h"

#include <cmath>

using K = Activity::Kind;

namespace {

// Screen 0's visible frame is (0, 40, 1920, 1010): the floor is at 52 and a window top may be
// at most 940 high. Test frames are opaque at canvas y 10 … 70, so the climbing sprite's
// bottom is 6 points above the feet and its top 54.
class ClimbingTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
    }
    // Ticks at about 60 Hz while the activity is `k`; answers the seconds spent.
    double runWhile(K k, double limit = 30) {
        double spent = 0;
        while (kind() == k && spent < limit) {
            tickAfter(0.016);
            spent += 0.016;
        }
        return spent;
    }
    DesktopWindow polled(quint32 id) {
        for (const DesktopWindow& w : cat->polledWindows())
            if (w.id == id) return w;
        ADD_FAILURE() << "window " << id << " not polled";
        return {};
    }
    // The cat idle on the top of a polled window.
    void standOn(quint32 id, double atX) {
        probe().settle(atX);
        const DesktopWindow w = polled(id);
        probe().platform() = Platform::on(w);
        probe().feetY() = w.frame.maxY();
    }
    std::optional<quint32> platformId() {
        const DesktopWindow* w = probe().platform().window();
        return w ? std::optional<quint32>(w->id) : std::nullopt;
    }
    const activity::Jumping& jump() {
        static activity::Jumping none{};
        const auto* j = probe().activity().as<activity::Jumping>();
        if (!j) ADD_FAILURE() << "not jumping";
        return j ? *j : none;
    }
};

TEST_F(ClimbingTest, OnlyWindowsWithRoomBelowAndAboveAreClimbed) {
    // Front-most first: 79 points above the floor, a top 0.5 above the limit, a top only 100
    // wide, then the first one that qualifies.
    showWindows({window(1, {100, 40, 400, 91}), window(2, {600, 40, 400, 900.5}),
                 window(3, {1100, 40, 100, 400}), window(4, {1300, 40, 400, 92}),
                 window(5, {300, 300, 300, 300})});
    cat->makeDue(CatOverlay::Due::climb);
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    const auto* walk = probe().activity().as<activity::Walking>();
    EXPECT_EQ(walk->then.kind, Arrival::Kind::climb);
    EXPECT_EQ(walk->then.window.id, 4u);
    EXPECT_EQ(walk->to, 1500); // the middle of 1350 … 1650, 50 in from each end

    // A top exactly at the limit still qualifies.
    showWindows({window(2, {600, 40, 400, 900})});
    probe().settle(500);
    cat->makeDue(CatOverlay::Due::climb);
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(probe().activity().as<activity::Walking>()->then.window.id, 2u);

    // On a window top a due climb takes the cat down instead.
    standOn(2, 800);
    cat->makeDue(CatOverlay::Due::climb);
    cat->tick();
    ASSERT_EQ(kind(), K::lowering);
    EXPECT_EQ(probe().activity().as<activity::Lowering>()->onto, std::nullopt);
}

TEST_F(ClimbingTest, NoFaceIsClimbedThroughTheAirBelowIt) {
    // Front-most first: a window floating 41 points above the floor (its top high enough to
    // be worth it) is passed over for one whose face starts 40 above the floor.
    showWindows({window(1, {100, 93, 400, 500}), window(2, {900, 92, 400, 500})});
    cat->makeDue(CatOverlay::Due::climb);
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(probe().activity().as<activity::Walking>()->then.window.id, 2u);
    // With only floating windows about, a due climb never leaves the floor.
    showWindows({window(1, {100, 93, 400, 500}), window(3, {900, 300, 400, 300})});
    for (int i = 0; i < 20; ++i) {
        probe().settle(500);
        cat->makeDue(CatOverlay::Due::climb);
        cat->tick();
        EXPECT_NE(kind(), K::walking);
    }

    // From a top at 500: a window 100 higher whose face ends 60 above the cat's feet is no
    // target, nor one 360 lower than a cat whose own face ends 60 above that top; the two
    // others are (a face that reaches, and a hop that needs none).
    showWindows({window(1, {100, 200, 400, 300}), window(4, {600, 560, 300, 40}),
                 window(5, {0, 40, 60, 100}), window(6, {600, 540, 300, 60}),
                 window(7, {0, 380, 60, 160})});
    std::vector<quint32> chosen;
    for (const double f : {0.0, 1.0}) {
        standOn(1, 300);
        probe().nextWander() = now();
        random.fractions = {0.5, 0.0, f}; // wander timer, the 0.6 chance, the candidate
        cat->tick();
        ASSERT_EQ(kind(), K::walking);
        chosen.push_back(probe().activity().as<activity::Walking>()->then.window.id);
    }
    EXPECT_EQ(chosen, (std::vector<quint32>{6, 7}));

    // Getting down from a floating window: down its face to the bottom edge, then a fall.
    standOn(1, 300);
    cat->makeDue(CatOverlay::Due::climb); // a due climb on a top means getting down
    cat->tick();
    runWhile(K::lowering);
    runWhile(K::climbingDown);
    EXPECT_EQ(kind(), K::falling);
    EXPECT_NEAR(cat->snapshot().feetY - 16 + 10, 200, 2); // the sprite's bottom at the edge
    runWhile(K::falling);
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(ClimbingTest, ClimbsUpPullsOverAndComesBackDown) {
    // A due climb picks the middle of the top, right above the cat: it starts at once.
    showWindows({window(1, {300, 40, 400, 460})}); // top at 500
    cat->makeDue(CatOverlay::Due::climb);
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    cat->tick();
    ASSERT_EQ(kind(), K::climbingUp);
    EXPECT_EQ(cat->snapshot().feetY, 58); // the climbing sprite's bottom on the floor
    const double phase = probe().stepPhase();

    // 110 points a second until the sprite's top reaches the window's top: 388 points.
    const double up = runWhile(K::climbingUp);
    EXPECT_NEAR(up, 388.0 / 110, 0.02);
    EXPECT_NEAR(probe().stepPhase() - phase, 6 * up, 0.1);
    ASSERT_EQ(kind(), K::pullingUp);

    // Four pull-over frames of 0.28 s rise to 18, 38, 55 and 100 % of the frame's height.
    const double start = probe().activityStart();
    const auto feetAt = [&](double e) {
        clock.set(StoredDate::fromSeconds(start + e));
        cat->tick();
        return cat->snapshot().feetY;
    };
    EXPECT_DOUBLE_EQ(feetAt(0.01), 500 + 16 + 0.18 * 60 - 70);
    EXPECT_DOUBLE_EQ(feetAt(0.30), 500 + 16 + 0.38 * 60 - 70);
    EXPECT_DOUBLE_EQ(feetAt(0.83), 500 + 16 + 0.55 * 60 - 70);
    EXPECT_DOUBLE_EQ(feetAt(1.11), 500 + 16 + 60 - 70);
    EXPECT_EQ(kind(), K::pullingUp);
    feetAt(1.13);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().feetY, 500);
    EXPECT_EQ(platformId(), 1u);
    EXPECT_TRUE(cat->state.hearts()); // pleased with itself for 0.6 s

    // Down again: the pull-over backwards, then 388 points of climbing down to the floor.
    cat->makeDue(CatOverlay::Due::climb); // a due climb on a top means getting down
    cat->tick();
    ASSERT_EQ(kind(), K::lowering);
    tickAfter(0.01);
    EXPECT_DOUBLE_EQ(cat->snapshot().feetY, 506);
    const double lowering = runWhile(K::lowering);
    EXPECT_NEAR(lowering, 1.12, 0.02);
    ASSERT_EQ(kind(), K::climbingDown);
    EXPECT_TRUE(cat->snapshot().platform.isFloor());
    const double down = runWhile(K::climbingDown);
    EXPECT_NEAR(down, 388.0 / 110, 0.02);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(ClimbingTest, TransferHopsClimbsOrLowersAtTheSixtyPointBoundaries) {
    const Rect a{100, 40, 400, 460}; // top 500
    struct Case {
        double top;
        K kind;
        Landing::Kind landing;
    };
    for (const Case& c :
         {Case{560, K::jumping, Landing::Kind::top}, Case{561, K::jumping, Landing::Kind::climb},
          Case{440, K::jumping, Landing::Kind::top},
          Case{439, K::lowering, Landing::Kind::floor}}) {
        SCOPED_TRACE(c.top);
        showWindows({window(1, a), window(2, {600, 40, 400, c.top - 40})});
        standOn(1, 480);
        cat->state.setFacingRight(false);
        probe().arrive(Arrival::transfer(polled(2)), now());
        ASSERT_EQ(kind(), c.kind);
        EXPECT_TRUE(cat->state.facingRight()); // the spot at 620 lies to the right
        if (c.kind == K::lowering) {
            const auto* l = probe().activity().as<activity::Lowering>();
            EXPECT_EQ(l->window.id, 1u);
            EXPECT_EQ(l->onto->id, 2u);
            EXPECT_EQ(platformId(), 1u); // still hanging on its own window
            continue;
        }
        EXPECT_TRUE(cat->snapshot().platform.isFloor()); // in the air
        EXPECT_TRUE(jump().crouch);
        EXPECT_EQ(jump().then.kind, c.landing);
        EXPECT_EQ(jump().from, QPointF(480, 500));
        // A hop lands on the top; a climb starts with a level hop to the face.
        EXPECT_EQ(jump().to, QPointF(620, c.landing == Landing::Kind::top ? c.top : 500));
    }

    // A target that moved since it was chosen, or a cat not on a window, just stops.
    showWindows({window(1, a), window(2, {600, 40, 400, 520})});
    standOn(1, 480);
    DesktopWindow stale = polled(2);
    stale.frame.x += 5;
    probe().arrive(Arrival::transfer(stale), now());
    EXPECT_EQ(kind(), K::idle);
    probe().settle(480);
    probe().arrive(Arrival::transfer(polled(2)), now());
    EXPECT_EQ(kind(), K::idle);
}

TEST_F(ClimbingTest, TransferTargetsLieWithin350PointsOfTheTakeoff) {
    // The cat's span is 100 … 500. Window 3 is too far (its nearest spot is 440 points from
    // the takeoff), window 4 too high, window 5 too low to be worth it.
    showWindows({window(1, {100, 40, 400, 460}), window(2, {600, 40, 400, 520}),
                 window(3, {900, 300, 400, 300}), window(4, {520, 40, 100, 901}),
                 window(5, {0, 40, 60, 91}), window(6, {0, 40, 60, 300})});
    standOn(1, 300);
    probe().nextWander() = now();
    random.fractions = {0.5, 0.0, 0.0}; // wander timer, the 0.6 chance, the first candidate
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    auto* walk = probe().activity().as<activity::Walking>();
    EXPECT_EQ(walk->then.kind, Arrival::Kind::transfer);
    EXPECT_EQ(walk->then.window.id, 2u);
    EXPECT_EQ(walk->to, 480); // the right end of the span, 20 in

    standOn(1, 300);
    probe().nextWander() = now();
    random.fractions = {0.5, 0.0, 1.0}; // the last candidate: the window on the left
    cat->tick();
    ASSERT_EQ(kind(), K::walking);
    walk = probe().activity().as<activity::Walking>();
    EXPECT_EQ(walk->then.window.id, 6u);
    EXPECT_EQ(walk->to, 120);
}

TEST_F(ClimbingTest, JumpsCrouchThenFlyForDistanceOver1400PlusFourTenths) {
    // 700 points level: 0.9 s after the 0.2 s crouch, 30 points high at the middle.
    probe().start(Activity::jumping(QPointF(100, 500), QPointF(800, 500), Landing::floor(), true),
                  now());
    tickAfter(0.199);
    EXPECT_EQ(cat->snapshot().x, 500); // not moved at all while crouching
    EXPECT_EQ(cat->snapshot().feetY, 52);
    tickAfter(0.451);
    EXPECT_NEAR(cat->snapshot().x, 450, 0.01);
    EXPECT_NEAR(cat->snapshot().feetY, 530, 0.01);
    tickAfter(0.449);
    EXPECT_EQ(kind(), K::jumping);
    tickAfter(0.002);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().x, 800);
    EXPECT_EQ(cat->snapshot().feetY, 500);
    EXPECT_DOUBLE_EQ(cat->holding().popStart(), now());

    // Upwards the arc grows with the rise; downwards it stays 30. No crouch: it moves at once.
    const auto middle = [&](double dy) {
        probe().settle(0);
        const double d = std::hypot(200.0, dy) / 1400 + 0.4;
        probe().start(
            Activity::jumping(QPointF(0, 300), QPointF(200, 300 + dy), Landing::floor(), false),
            now());
        tickAfter(d / 2);
        return cat->snapshot().feetY - (300 + dy / 2);
    };
    EXPECT_NEAR(middle(100), 100 * 0.6 + 30, 0.5);
    EXPECT_NEAR(middle(-100), 30, 0.5);

    // Landing on a top that has moved meanwhile turns into a fall; a climb landing hangs the
    // climbing sprite's bottom at the landing height.
    showWindows({window(1, {600, 40, 400, 460})});
    DesktopWindow moved = polled(1);
    moved.frame.y -= 3;
    probe().start(
        Activity::jumping(QPointF(500, 300), QPointF(620, 460), Landing::top(moved), false), now());
    tickAfter(0.1);
    tickAfter(0.45);
    EXPECT_EQ(kind(), K::falling);
    probe().start(
        Activity::jumping(QPointF(500, 300), QPointF(620, 300), Landing::climb(polled(1)), false),
        now());
    tickAfter(0.1);
    tickAfter(0.45);
    EXPECT_EQ(kind(), K::climbingUp);
    EXPECT_EQ(cat->snapshot().feetY, 300 + 16 - 10);
}

TEST_F(ClimbingTest, SteppingDownOntoALowerWindow) {
    const Rect a{100, 40, 400, 460}; // top 500
    const Rect b{600, 40, 400, 339}; // top 379: 121 lower
    showWindows({window(1, a), window(2, b)});
    standOn(1, 480);
    probe().arrive(Arrival::transfer(polled(2)), now());
    ASSERT_EQ(kind(), K::lowering);
    runWhile(K::lowering);
    // Down the own face until the sprite's bottom is level with the lower top: 446 → 385.
    const double down = runWhile(K::climbingDown);
    EXPECT_NEAR(down, 61.0 / 110, 0.02);
    ASSERT_EQ(kind(), K::jumping);
    EXPECT_FALSE(jump().crouch);
    EXPECT_EQ(jump().from, QPointF(480, 379));
    EXPECT_EQ(jump().to, QPointF(620, 379));
    runWhile(K::jumping);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(platformId(), 2u);
    EXPECT_EQ(cat->snapshot().x, 620);

    // The lower window moved away during the climb down: the cat lets go.
    standOn(1, 480);
    probe().arrive(Arrival::transfer(polled(2)), now());
    runWhile(K::lowering);
    windowList.set({window(1, a), window(2, {600, 40, 400, 300})});
    runWhile(K::climbingDown);
    EXPECT_EQ(kind(), K::falling);
}

TEST_F(ClimbingTest, FallingLandsOnTheHighestEligibleTopUnderTheCat) {
    // Dropped at x = 500 from 1000, front-most first: a low top, two equal tops of 800, a top
    // of 890 whose span starts 5 points left of the cat, and one too close to the screen's top.
    const auto drop = [&](std::vector<WindowInfo> list) {
        showWindows(std::move(list));
        probe().settle(500);
        // Test frames hang from (39.75, 69.5): the feet 57.5 points below the pointer.
        EXPECT_TRUE(cat->pickUp(QPointF(491.75, 1057.5)));
        runWhile(K::held, 0.2);
        EXPECT_EQ(cat->snapshot().x, 500);
        EXPECT_EQ(cat->snapshot().feetY, 1000);
        cat->drop();
        return runWhile(K::falling);
    };
    const auto low = window(5, {100, 40, 800, 600});
    const auto front800 = window(3, {200, 40, 600, 760});
    const auto back800 = window(4, {300, 40, 400, 760});
    const auto tooHigh = window(1, {400, 40, 300, 910});
    const double fell = drop({low, front800, back800, window(2, {495, 40, 300, 850}), tooHigh});
    EXPECT_EQ(kind(), K::landing);
    EXPECT_EQ(platformId(), 3u);
    EXPECT_EQ(cat->snapshot().feetY, 800);
    EXPECT_NEAR(fell, std::sqrt(2 * 200.0 / 2400), 0.03);

    // 20 points in from the span's start is far enough.
    drop({low, front800, back800, window(2, {480, 40, 300, 850}), tooHigh});
    EXPECT_EQ(platformId(), 2u);
    EXPECT_EQ(cat->snapshot().feetY, 890);
    drop({low, back800, tooHigh});
    EXPECT_EQ(platformId(), 4u);

    // Nothing under it: the floor, after sqrt(2 h / g) seconds.
    showWindows({});
    probe().settle(500);
    probe().feetY() = 1000;
    probe().start(Activity::falling(0), now());
    const double toFloor = runWhile(K::falling);
    EXPECT_NEAR(toFloor, std::sqrt(2 * 948.0 / 2400), 0.03);
    EXPECT_EQ(cat->snapshot().feetY, 52);
    EXPECT_TRUE(cat->snapshot().platform.isFloor());

    // A top 1 point above the feet still counts; 1.5 points does not.
    showWindows({window(1, {300, 40, 400, 461})});
    probe().settle(500);
    probe().feetY() = 500;
    probe().start(Activity::falling(0), now());
    tickAfter(0.016);
    EXPECT_EQ(kind(), K::landing);
    EXPECT_EQ(cat->snapshot().feetY, 501);
    showWindows({window(1, {300, 40, 400, 461.5})});
    probe().settle(500);
    probe().feetY() = 500;
    probe().start(Activity::falling(0), now());
    runWhile(K::falling);
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(ClimbingTest, WindowMovesOfMoreThanOnePointOrCoveringTheSpotMakeItFall) {
    showWindows({window(1, {300, 40, 400, 460})});
    standOn(1, 500);
    const DesktopWindow original = polled(1);

    // One point in any direction is jitter: nothing changes, not even the stored frame.
    showWindows({window(1, {301, 41, 400, 460})});
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(*probe().platform().window(), original);

    // Covering another part of the top leaves the cat be; covering its spot does not.
    showWindows({window(2, {600, 400, 60, 300}), window(1, {300, 40, 400, 460})});
    EXPECT_EQ(kind(), K::idle);
    showWindows({window(2, {450, 400, 100, 300}), window(1, {300, 40, 400, 460})});
    EXPECT_EQ(kind(), K::falling);
    EXPECT_EQ(cat->climbing().fallingPast(), 1u);
    EXPECT_TRUE(cat->snapshot().platform.isFloor());

    // Moved by 1.5 points, down: it falls past its own window to the floor and forgets it.
    showWindows({window(1, {300, 40, 400, 458.5})});
    standOn(1, 500);
    showWindows({window(1, {300, 38.5, 400, 458.5})});
    ASSERT_EQ(kind(), K::falling);
    runWhile(K::falling);
    EXPECT_EQ(cat->snapshot().feetY, 52);
    EXPECT_EQ(cat->climbing().fallingPast(), std::nullopt);

    // Hanging on a face that vanishes, with a letter open: the letter closes, the cat falls.
    showWindows({window(1, {300, 40, 400, 460})});
    probe().settle(500);
    probe().feetY() = 200;
    probe().start(Activity::climbingUp(polled(1)), now());
    cat->state.setReading(Letter{"hello", std::nullopt, false});
    showWindows({});
    EXPECT_EQ(kind(), K::falling);
    EXPECT_EQ(cat->state.reading(), nullptr);
}

TEST_F(ClimbingTest, ResizingUnderAStandingCatCarriesItWithinFortyPoints) {
    showWindows({window(1, {300, 40, 400, 460})});
    standOn(1, 500);

    // Taller: the cat rides up with the top.
    showWindows({window(1, {300, 40, 400, 490})});
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().feetY, 530);
    EXPECT_EQ(probe().platform().window()->frame, (Rect{300, 40, 400, 490}));

    // The right edge pulled in to 515: the nearest spot is 495, 5 points away.
    showWindows({window(1, {300, 40, 215, 490})});
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().x, 495);

    // A walk goes on while its target is still a spot, and stops when it is not.
    probe().start(Activity::walking(380, Arrival::rest()), now());
    showWindows({window(1, {310, 40, 205, 490})}); // spots from 330
    EXPECT_EQ(kind(), K::walking);
    showWindows({window(1, {370, 40, 145, 490})}); // spots from 390
    EXPECT_EQ(kind(), K::idle);

    // Pulled in 41 points past the cat: it falls.
    standOn(1, 495);
    showWindows({window(1, {370, 40, 84, 490})}); // the spot is at 434: 61 away
    EXPECT_EQ(kind(), K::falling);
}

} // namespace
