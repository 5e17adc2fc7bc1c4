#include "CatHarness.h"

using K = Activity::Kind;

namespace {

// The cat sits on the floor (feet at 52) at x 500; the pointer rests where each test puts it.
class HuntingTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
        input.any = 0.5;
        input.mouse = 10;
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            tickAfter(0.02);
    }
    // The pointer as prey for the cat where it stands.
    std::optional<QPointF> prey(double stillFor) {
        const auto s = cat->snapshot();
        return cat->hunting().prey(stillFor, QPointF(s.x, s.feetY));
    }
};

TEST_F(HuntingTest, WhatCountsAsPrey) {
    // 32 points above the feet: (500, 84). 40 points away is too close, 60 is prey.
    pointer.at = QPointF(540, 84);
    EXPECT_EQ(prey(4), std::nullopt);
    pointer.at = QPointF(560, 84);
    EXPECT_EQ(prey(4), QPointF(560, 84));
    EXPECT_EQ(prey(10), QPointF(560, 84));
    EXPECT_EQ(prey(10.5), std::nullopt) << "not still long enough";
    pointer.pressed = true;
    EXPECT_EQ(prey(0), std::nullopt);
    pointer.pressed = false;
    pointer.at = QPointF(560, 20); // below the visible area
    EXPECT_EQ(prey(0), std::nullopt);
}

TEST_F(HuntingTest, WhenTheCatHunts) {
    pointer.at = QPointF(800, 300);
    input.mouse = 3;
    cat->makeDue(CatOverlay::Due::hunt);
    EXPECT_FALSE(probe().huntIfPrey()) << "an ordinary hunt wants 4 s of stillness";
    input.mouse = 4;
    ASSERT_TRUE(probe().huntIfPrey());
    EXPECT_EQ(kind(), K::stalking);
    EXPECT_TRUE(cat->state.facingRight());
    EXPECT_DOUBLE_EQ(cat->hunting().nextHunt(), now() + 210);

    // Before the next hunt is due only a recent shake makes a quarter second enough.
    probe().settle(500);
    cat->postponeAll(100);
    input.mouse = 0.3;
    EXPECT_FALSE(probe().huntIfPrey());
    // A shake nine seconds ago still counts, and is used up by the hunt.
    input.mouse = 0;
    for (const double px : {800.0, 950.0, 800.0, 950.0, 800.0, 950.0}) {
        pointer.at = QPointF(px, 300);
        tickAfter(0.05);
    }
    ASSERT_TRUE(cat->holding().shaken(now()));
    EXPECT_EQ(kind(), K::idle) << "no prey while the pointer moves";
    clock.advance(9);
    pointer.at = QPointF(800, 300);
    input.mouse = 0.3;
    EXPECT_TRUE(probe().huntIfPrey());
    EXPECT_FALSE(cat->holding().shaken(now()));

    // No hunting through a call, unless the user is focusing.
    probe().settle(500);
    cat->makeDue(CatOverlay::Due::hunt);
    input.mouse = 10;
    setCall(true);
    EXPECT_FALSE(probe().huntIfPrey());
    cat->setPomodoro(true, std::nullopt);
    EXPECT_TRUE(probe().huntIfPrey());

    // A leisurely walk gives way to a hunt; a walk on an errand does not.
    cat->setPomodoro(false, std::nullopt);
    setCall(false);
    for (const Arrival then : {Arrival::announce(), Arrival::rest()}) {
        probe().settle(500);
        cat->makeDue(CatOverlay::Due::hunt);
        probe().start(Activity::walking(900, then), now());
        tickAfter(0.02);
        EXPECT_EQ(kind(), then.kind == Arrival::Kind::rest ? K::stalking : K::walking);
    }
}

TEST_F(HuntingTest, StalkPounceAndCarryThePointerDown) {
    pointer.at = QPointF(700, 300);
    cat->makeDue(CatOverlay::Due::hunt);
    probe().decide(now());
    ASSERT_EQ(kind(), K::stalking);

    // The pointer twitches by 5 points: a new crouch on the new spot.
    frames(50);
    pointer.at = QPointF(705, 300);
    frames(1);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Stalking>()->prey, QPointF(705, 300));
    frames(79); // nearly 1.6 s of stillness
    EXPECT_EQ(kind(), K::stalking);
    frames(3);
    ASSERT_EQ(kind(), K::pouncing);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Pouncing>()->to, QPointF(690, 258));

    for (int i = 0; i < 100 && kind() == K::pouncing; ++i)
        frames(1);
    ASSERT_EQ(kind(), K::catching);
    EXPECT_EQ(pointer.at, QPointF(705, 300)) << "the paw holds the pointer";
    const int warps = pointer.warps;

    // Falling with the pointer: it travels down with the paw and the cat lands on the floor.
    double lastY = pointer.at.y();
    for (int i = 0; i < 100 && kind() == K::catching; ++i) {
        frames(1);
        EXPECT_LE(pointer.at.y(), lastY);
        lastY = pointer.at.y();
    }
    EXPECT_EQ(kind(), K::landing);
    EXPECT_EQ(cat->snapshot().feetY, 52);
    EXPECT_EQ(pointer.at, QPointF(705, 94));
    EXPECT_GT(pointer.warps, warps + 5);
    EXPECT_EQ(cat->hunting().heldPointer(), std::nullopt);
    EXPECT_TRUE(cat->holding().happy(now()));
}

TEST_F(HuntingTest, AHeldButtonOrAPullLetsThePointerGo) {
    // A button held when the pounce lands: a fall, the pointer untouched.
    probe().feetY() = 52;
    probe().start(Activity::pouncing(QPointF(500, 52), QPointF(685, 258)), now());
    pointer.at = QPointF(700, 300);
    pointer.pressed = true;
    frames(40);
    EXPECT_EQ(kind(), K::falling);
    EXPECT_EQ(pointer.warps, 0);

    // Caught, then the user pulls the pointer 4 points away: the cat lets go and falls on,
    // with its speed and without a new start.
    pointer.pressed = false;
    probe().start(Activity::pouncing(QPointF(500, 52), QPointF(685, 258)), now());
    frames(40);
    ASSERT_EQ(kind(), K::catching);
    frames(3);
    const double started = probe().activityStart();
    pointer.at += QPointF(0, 4);
    frames(1);
    EXPECT_EQ(kind(), K::falling);
    EXPECT_LT(cat->snapshot().activity.as<activity::Falling>()->speed, 0);
    EXPECT_EQ(probe().activityStart(), started);
    EXPECT_EQ(cat->hunting().heldPointer(), std::nullopt);
    const QPointF left = pointer.at;
    frames(30);
    EXPECT_EQ(pointer.at, left) << "no more warps";
}

} // namespace
