#include "CatHarness.h"

#include <cmath>
#include <numbers>
#include <set>
#include <tuple>

using K = Activity::Kind;

namespace {

// Test frames hang from canvas point (39.75, 69.5).
class HoldingTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(300);
    }
    const Dangle& d() { return cat->holding().dangle(); }
    // Held, past the grab frame and the easing, hanging still from p.
    void holdStill(QPointF p) {
        ASSERT_TRUE(cat->pickUp(p));
        probe().activityStart() -= 1;
    }
};

TEST_F(HoldingTest, PickUpIsRefusedOnlyWhileAwayOrReading) {
    probe().start(Activity::away(now() + 60), now());
    EXPECT_FALSE(cat->pickUp(QPointF(300, 100)));
    EXPECT_EQ(kind(), K::away);
    probe().start(Activity::reading(), now());
    EXPECT_FALSE(cat->pickUp(QPointF(300, 100)));
    EXPECT_EQ(kind(), K::reading);

    // From a window top, with a caption and leftovers of an earlier carry: yanked, then left
    // hanging until it kicks.
    showWindows({window(1, {100, 40, 400, 460})});
    probe().settle(300);
    holdStill(QPointF(500, 600));
    for (int i = 1; i <= 5; ++i) {
        cat->onCarry(QPointF(500, 600 + 5000 * std::pow(i * 0.016, 2)));
        tickAfter(0.016);
    }
    for (int i = 0; i < 80; ++i)
        tickAfter(0.016);
    ASSERT_TRUE(d().angry);
    ASSERT_NE(d().angryFrame, -1);
    ASSERT_NE(d().angle, 0);
    ASSERT_NE(d().stretch, 1);
    ASSERT_NE(d().sprite, CatSprite::heldSwing6);
    probe().settle(300);
    probe().platform() = Platform::on(cat->polledWindows()[0]);
    cat->state.setCaption(QStringLiteral("Back to work"));
    EXPECT_TRUE(cat->pickUp(QPointF(310, 520)));
    EXPECT_EQ(kind(), K::held);
    EXPECT_TRUE(probe().platform().isFloor());
    EXPECT_EQ(cat->state.caption(), std::nullopt);
    EXPECT_EQ(cat->holding().cursor(), QPointF(310, 520));
    EXPECT_EQ(d().angle, 0);
    EXPECT_EQ(d().stretch, 1);
    EXPECT_FALSE(d().angry);
    EXPECT_EQ(d().angryFrame, -1);
    EXPECT_EQ(d().swingIndex, 2);
    EXPECT_EQ(d().settledSince, std::nullopt);
    EXPECT_EQ(d().sprite, CatSprite::heldSwing6);
    EXPECT_EQ(d().lastCursor, QPointF(310, 520));
    EXPECT_EQ(d().lastMove, now());

    // Out of the bed: the cat leaves it for good, and says so in the settings.
    // The phone goes with it.
    restartInBed();
    takeUpThePhone();
    EXPECT_TRUE(cat->bedLife().livesInBed());
    EXPECT_TRUE(cat->pickUp(QPointF(300, 100)));
    EXPECT_FALSE(cat->snapshot().lying);
    EXPECT_FALSE(cat->bedLife().livesInBed());
    EXPECT_EQ(defaults.reopened()->boolean("catLivesInBed"), false);
    EXPECT_EQ(cat->bedLife().hold(), CatSprite::Hold::nothing);
}

TEST_F(HoldingTest, HangsFourPointsBelowThePointerAfterEasingIn) {
    // From (300, 52) towards the hang target under (500, 600): (508.25, 542.5).
    ASSERT_TRUE(cat->pickUp(QPointF(500, 600)));
    tickAfter(0.05); // three 60 Hz frames' worth: 1 − 0.6³ of the way
    EXPECT_NEAR(cat->snapshot().x, 300 + 208.25 * (1 - 0.216), 1e-3);
    EXPECT_NEAR(cat->snapshot().feetY, 52 + 490.5 * (1 - 0.216), 1e-3);
    tickAfter(0.11); // past 0.15 s it follows exactly
    EXPECT_DOUBLE_EQ(cat->snapshot().x, 508.25);
    EXPECT_DOUBLE_EQ(cat->snapshot().feetY, 542.5);

    cat->onCarry(QPointF(900, 300));
    tickAfter(0.016);
    const auto s = cat->snapshot();
    const QPointF hp = CatSprite::geometry(cat->state.sprite()).hangPoint;
    EXPECT_DOUBLE_EQ(s.x - 48 + hp.x(), 900);
    EXPECT_DOUBLE_EQ(s.feetY - 16 + hp.y(), 296);
    EXPECT_EQ(panel->rect, (Rect{s.x - 100, s.feetY - 16, 200, 150}));
    // Held, the cat's own timers never move it.
    probe().nextWander() = now();
    cat->makeDue(CatOverlay::Due::climb);
    tickAfter(0.5);
    EXPECT_EQ(kind(), K::held);
    EXPECT_DOUBLE_EQ(cat->snapshot().x, s.x);
}

TEST_F(HoldingTest, LeftHangingStillItGrabsThenHangsThenKicks) {
    ASSERT_TRUE(cat->pickUp(QPointF(500, 600)));
    const double start = now();
    std::optional<double> angryAt;
    std::optional<double> secondFrameAt;
    double spinBeforeKick = 0, spinAfterKick = 0;
    while (now() - start < 1.2) {
        const double spin = d().spin;
        tickAfter(0.01);
        const double e = now() - start;
        const CatSprite shown = cat->state.sprite();
        if (e < 0.34) {
            EXPECT_EQ(shown, CatSprite::heldSwing6) << e;
        }
        if (e > 0.36 && e < 0.79) {
            EXPECT_EQ(shown, CatSprite::heldSwing3) << e;
        }
        if (!angryAt && shown == CatSprite::heldAngry1) angryAt = e;
        if (!secondFrameAt && shown == CatSprite::heldAngry2) {
            secondFrameAt = e;
            spinBeforeKick = spin;
            spinAfterKick = d().spin;
        }
    }
    // About 0.8 s after the pick-up the fit starts; the next frame follows 1/7 s later with a
    // kick of 15 … 25 degrees a second to one side.
    ASSERT_TRUE(angryAt);
    EXPECT_GE(*angryAt, 0.795);
    EXPECT_LE(*angryAt, 0.82);
    ASSERT_TRUE(secondFrameAt);
    EXPECT_NEAR(*secondFrameAt - *angryAt, 1.0 / 7, 0.011);
    EXPECT_NEAR(spinAfterKick - spinBeforeKick, -20, 0.5);
    EXPECT_TRUE(d().angry);

    // Moving the pointer ends the fit at the next step.
    cat->onCarry(QPointF(501, 600));
    tickAfter(0.01);
    EXPECT_FALSE(d().angry);
    EXPECT_EQ(d().angryFrame, -1);
    const CatSprite shown = cat->state.sprite();
    EXPECT_TRUE(shown == CatSprite::heldSwing1 || shown == CatSprite::heldSwing2 ||
                shown == CatSprite::heldSwing3 || shown == CatSprite::heldSwing4 ||
                shown == CatSprite::heldSwing5)
        << shown.rawValue().toStdString();
}

TEST_F(HoldingTest, AKickingCatComesBackToTheSamePoses) {
    // Left hanging, the cat kicks for as long as it hangs; each new pose is a new picture to
    // draw and send, so the shown pose keeps to whole degrees and few distinct ones.
    holdStill(QPointF(500, 600));
    std::set<std::tuple<int, double, double>> poses;
    int changes = 0;
    std::tuple<int, double, double> last{};
    for (int frame = 0; frame < 600; ++frame) {
        tickAfter(1.0 / 60);
        const std::tuple<int, double, double> pose{cat->state.sprite().index(), cat->state.tilt(),
                                                   cat->state.squash()};
        if (frame > 0 && pose != last) ++changes;
        last = pose;
        poses.insert(pose);
        if (frame == 300) {
            EXPECT_TRUE(d().angry);
        }
        // Never more than half a degree from the pendulum (the test frames hang upright).
        EXPECT_LE(std::abs(cat->state.tilt() - d().angle), 0.5 + 1e-9);
    }
    EXPECT_LT(changes, 250) << "a new pose nearly every frame";
    EXPECT_LT(poses.size(), 40u) << "more poses than the server keeps for a 200 x 150 panel";
}

TEST_F(HoldingTest, SwingStopsAt22DegreesWithHalvedSpin) {
    // The pointer accelerating sideways at 10000 points/s² for a third of a second.
    holdStill(QPointF(500, 600));
    double widest = 0;
    bool crossedWithoutHalving = false;
    for (int i = 1; i <= 20; ++i) {
        const double t = i * 0.016;
        cat->onCarry(QPointF(500 - 5000 * t * t, 600));
        const double before = d().spin;
        tickAfter(0.016);
        widest = std::max(widest, std::abs(d().angle));
        // Hitting the limit halves the spin: it can never exceed half of what it was plus
        // one step's worth of drive.
        if (std::abs(d().angle) == 22 && std::abs(d().spin) > std::abs(before) * 0.5 + 60)
            crossedWithoutHalving = true;
    }
    EXPECT_EQ(widest, 22);
    EXPECT_FALSE(crossedWithoutHalving);

    // One exact step onto the limit, the pointer still: 200 °/s less damping and gravity is
    // 181.7, then halved.
    for (const double side : {1.0, -1.0}) {
        Dangle swinging;
        swinging.angle = 21.9 * side;
        swinging.spin = 200 * side;
        swinging.step(QPointF(), 0.01, now(), 1, random);
        EXPECT_EQ(swinging.angle, 22 * side);
        EXPECT_NEAR(swinging.spin, 90.84 * side, 0.05);
    }
}

TEST_F(HoldingTest, SwingFrameChangesOnlyPastAHysteresisOf06) {
    // With a still pointer and no angle, one 1 ms step leaves the spin at s × (1 − 4.5 ms):
    // choose s so the target index 2 − spin/45 comes out as wanted.
    CatSprite shown = CatSprite::sit;
    const auto stepWithTarget = [&](int index, double target) {
        Dangle swinging;
        swinging.lastMove = now(); // the pointer just moved: no fit
        swinging.swingIndex = index;
        swinging.spin = (2 - target) * 45 / (1 - 4.5 * 0.001);
        swinging.step(QPointF(), 0.001, now(), 1, random);
        shown = swinging.sprite;
        return swinging.swingIndex;
    };
    EXPECT_EQ(stepWithTarget(2, 2.55), 2);
    EXPECT_EQ(shown, CatSprite::heldSwing3);
    EXPECT_EQ(stepWithTarget(2, 2.61), 3);
    EXPECT_EQ(shown, CatSprite::heldSwing4);
    EXPECT_EQ(stepWithTarget(3, 2.45), 3); // back towards 2, not yet past the margin
    EXPECT_EQ(stepWithTarget(2, 1.45), 2);
    EXPECT_EQ(stepWithTarget(2, 1.35), 1);
    EXPECT_EQ(stepWithTarget(2, -3), 0); // the target is clamped to 0 … 4
    EXPECT_EQ(shown, CatSprite::heldSwing1);
    EXPECT_EQ(stepWithTarget(2, 9), 4);
    EXPECT_EQ(shown, CatSprite::heldSwing5);
}

TEST_F(HoldingTest, StretchFollowsVerticalJerksWithinBounds) {
    // Bobbing the pointer up and down near the spring's own rate stretches and squashes.
    holdStill(QPointF(500, 600));
    double least = 1, most = 1;
    for (int i = 1; i <= 120; ++i) {
        cat->onCarry(QPointF(500, 600 + 300 * std::sin(2 * std::numbers::pi * 2.5 * i * 0.016)));
        tickAfter(0.016);
        least = std::min(least, d().stretch);
        most = std::max(most, d().stretch);
    }
    EXPECT_GT(most, 1.02);
    EXPECT_LT(least, 0.98);
    EXPECT_LE(most, 1.15);
    EXPECT_GE(least, 0.9);

    // Yanked upwards the body first stretches, yanked downwards it first squashes.
    for (const double up : {1.0, -1.0}) {
        holdStill(QPointF(500, 600));
        for (int i = 1; i <= 5; ++i) {
            cat->onCarry(QPointF(500, 600 + up * 5000 * std::pow(i * 0.016, 2)));
            tickAfter(0.016);
        }
        EXPECT_GT((d().stretch - 1) * up, 0.001) << up;
    }

    // However fast the spring moves, the body stays within 0.9 … 1.15.
    for (const double speed : {1000.0, -1000.0}) {
        Dangle swinging;
        swinging.stretchSpeed = speed;
        swinging.step(QPointF(), 0.016, now(), 1, random);
        EXPECT_EQ(swinging.stretch, speed > 0 ? 1.15 : 0.9);
    }
}

TEST_F(HoldingTest, DropFallsOrLandsInTheBedWithinTenPoints) {
    cat->drop(); // not held: nothing
    EXPECT_EQ(kind(), K::idle);
    EXPECT_FALSE(cat->holding().ignoresTap(now()));

    // Released over a window: the cat falls onto its top.
    // Caught while falling past a window that went away, it no longer passes any.
    showWindows({window(1, {300, 40, 400, 460}), window(7, {900, 40, 400, 600})});
    probe().settle(1100);
    probe().platform() = Platform::on(cat->polledWindows()[1]);
    probe().feetY() = 640;
    showWindows({window(1, {300, 40, 400, 460})});
    ASSERT_EQ(kind(), K::falling);
    ASSERT_EQ(cat->climbing().fallingPast(), 7u);
    ASSERT_TRUE(cat->pickUp(QPointF(500, 800)));
    tickAfter(0.2);
    cat->drop();
    EXPECT_EQ(kind(), K::falling);
    EXPECT_EQ(cat->climbing().fallingPast(), std::nullopt);
    // The tap that comes with the release is no tap.
    EXPECT_TRUE(cat->holding().ignoresTap(now() + 0.29));
    EXPECT_FALSE(cat->holding().ignoresTap(now() + 0.3));
    for (int i = 0; i < 100 && kind() == K::falling; ++i)
        tickAfter(0.016);
    EXPECT_EQ(kind(), K::landing);
    EXPECT_EQ(cat->snapshot().feetY, 500);
    ASSERT_NE(probe().platform().window(), nullptr);
    EXPECT_EQ(probe().platform().window()->id, 1u);

    // The bed's panel in the corner at (1804, 48, 96, 48): the release point (x, feet + 30)
    // may be up to 10 points outside it. Each time the cat was on its way to a nap of its own.
    for (const double outside : {9.0, 11.0}) {
        defaults->setBoolean("catLivesInBed", false);
        cat.reset();
        enterSitting(300, {.bed = true});
        ASSERT_EQ(bed->rect, (Rect{1804, 48, 96, 48}));
        random.fractions = {0.5, 0.1, 0.5}; // the wander is a nap
        cat->makeDue(CatOverlay::Due::wander);
        tickAfter(0.02);
        ASSERT_TRUE(cat->bedLife().napUntil());
        ASSERT_TRUE(cat->pickUp(QPointF(0, 0)));
        probe().x() = 1900 + outside;
        probe().feetY() = 48 - 30 + 30;
        cat->drop();
        const bool inBed = outside < 10;
        EXPECT_EQ(cat->snapshot().lying, inBed) << outside;
        EXPECT_EQ(cat->bedLife().livesInBed(), inBed) << outside;
        EXPECT_EQ(defaults.reopened()->boolean("catLivesInBed"), inBed) << outside;
        EXPECT_EQ(cat->bedLife().napUntil().has_value(), !inBed) << outside;
        EXPECT_EQ(kind() == K::falling, !inBed) << outside;
    }
}

TEST_F(HoldingTest, ShakesNeedFiveLongSwingsAddingUpTo700WithinSevenTenths) {
    // Samples a tenth of a second apart (zero moves between them are ignored).
    const auto shake = [&](std::vector<double> xs, double every = 0.1) {
        pointer.at = QPointF(xs.front(), 500);
        tickAfter(2); // the previous trail runs out
        const double before = cat->holding().shakenAt();
        for (double x : xs) {
            pointer.at = QPointF(x, 500);
            tickAfter(every / 2);
            tickAfter(every / 2);
        }
        return cat->holding().shakenAt() != before;
    };
    EXPECT_TRUE(shake({0, 150, 0, 150, 0, 150}));
    EXPECT_FALSE(shake({0, 130, 0, 130, 0, 130}));      // 650 in all
    EXPECT_FALSE(shake({0, 200, 0, 200, 0}));           // four swings
    EXPECT_FALSE(shake({0, 150, 0, 150, 0, 150}, 0.2)); // too slow: older samples drop out
    // Moves in one direction add up to one swing; swings under 40 points do not count.
    EXPECT_TRUE(shake({0, 75, 150, 0, 150, 0, 150, 0}));
    EXPECT_FALSE(shake({0, 350, 320, 350, 320, 350, 0}));

    // A shake empties the trail, so a still pointer does not report it again.
    ASSERT_TRUE(shake({0, 150, 0, 150, 0, 150}));
    const double at = cat->holding().shakenAt();
    tickAfter(0.1);
    EXPECT_EQ(cat->holding().shakenAt(), at);
}

} // namespace
