#include "CatHarness.h"

#include <cmath>
#include <numbers>

using K = Activity::Kind;

namespace {

class PictureTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
    }
    // Shows activity `a` as it looks `e` seconds after it started.
    CatSprite show(const Activity& a, double e) {
        probe().start(a, now() - e);
        probe().updateSprite(now());
        return cat->state.sprite();
    }
};

TEST_F(PictureTest, GaitFramesFollowTheStepPhase) {
    probe().stepPhase() = 1.0;
    EXPECT_EQ(show(Activity::walking(900, Arrival::rest()), 0), CatSprite::walkLoop()[22]);
    EXPECT_EQ(show(Activity::away(now()), 0), CatSprite::walkLoop()[22]);
    probe().stepPhase() = 2.0; // 44 frames in: wraps round the 38-frame loop
    EXPECT_EQ(show(Activity::walking(900, Arrival::rest()), 0), CatSprite::walkLoop()[6]);
    carryLetter();
    probe().stepPhase() = 1.0;
    EXPECT_EQ(show(Activity::walking(900, Arrival::rest()), 0), CatSprite::walkLetterLoop()[26]);
    EXPECT_EQ(show(Activity::idle(), 0), CatSprite::sitLetter);
    EXPECT_EQ(show(Activity::petting(), 0), CatSprite::petLetter);
}

TEST_F(PictureTest, ClimbingAndPullingOver) {
    cat->state.setFacingRight(false);
    probe().stepPhase() = 5.5;
    const DesktopWindow w{1, {0, 0, 300, 300}};
    EXPECT_EQ(show(Activity::climbingUp(w), 0), CatSprite::climbLoop()[1]);
    EXPECT_TRUE(cat->state.facingRight());
    EXPECT_DOUBLE_EQ(cat->state.tilt(), 1.0); // 1.5 × sin(2.75 π) = 1.06, to half degrees
    EXPECT_TRUE(cat->state.swaying()); // its wobble comes round again: pictures worth keeping
    EXPECT_EQ(show(Activity::climbingDown(w, std::nullopt), 0), CatSprite::climbLoop()[2]);

    EXPECT_EQ(show(Activity::pullingUp(w), 0.1), CatSprite::over1);
    EXPECT_EQ(show(Activity::pullingUp(w), 0.3), CatSprite::over2);
    EXPECT_EQ(show(Activity::pullingUp(w), 2.0), CatSprite::over4);
    EXPECT_EQ(show(Activity::lowering(w, std::nullopt), 0.1), CatSprite::over4);
    EXPECT_EQ(show(Activity::lowering(w, std::nullopt), 0.3), CatSprite::over3);
    EXPECT_EQ(show(Activity::lowering(w, std::nullopt), 2.0), CatSprite::over1);
}

TEST_F(PictureTest, JumpCrouchesThenFlies) {
    const auto jump = [](bool crouch) {
        return Activity::jumping(QPointF(0, 0), QPointF(100, 0), Landing::floor(), crouch);
    };
    EXPECT_EQ(show(jump(true), 0.1), CatSprite::sit);
    EXPECT_NEAR(cat->state.squash(), 0.925, 1e-6); // dates are ~1e9 s: µs precision
    EXPECT_EQ(show(jump(true), 0.3), CatSprite::walkLoop().front());
    EXPECT_DOUBLE_EQ(cat->state.squash(), 1.04);
    EXPECT_FALSE(cat->state.swaying());
    EXPECT_EQ(show(jump(false), 0), CatSprite::walkLoop().front());
}

TEST_F(PictureTest, SnackStepsAndThePop) {
    EXPECT_EQ(show(Activity::snacking(), 0.44), CatSprite::snackGet1);
    EXPECT_EQ(show(Activity::snacking(), 0.46), CatSprite::snackGet2);
    EXPECT_EQ(show(Activity::snacking(), 5.4), CatSprite::snackEat6);
    EXPECT_EQ(show(Activity::snacking(), 60), CatSprite::snackEat6); // past the end

    // Starting and ending a snack replays the pop; so does a jump landing.
    probe().start(Activity::snacking(), now());
    EXPECT_EQ(cat->holding().popStart(), now());
    probe().updateSprite(now());
    const double base = 1 + 0.012 * std::sin(0.8 * 2 * std::numbers::pi * now());
    EXPECT_NEAR(cat->state.squash(), 0.985 * base * 0.93, 1e-6);
    EXPECT_FALSE(cat->state.swaying()); // the pop happens once
    probe().updateSprite(now() + 0.2);
    EXPECT_GT(cat->state.squash(), 0.99); // the pop is over
    EXPECT_TRUE(cat->state.swaying());    // the chewing wobble goes on
    clock.advance(1);
    probe().start(Activity::idle(), now());
    EXPECT_EQ(cat->holding().popStart(), now());
}

TEST_F(PictureTest, EatingChewsThenBeams) {
    EXPECT_EQ(show(Activity::eating(), 0.4), CatSprite::gulp);
    EXPECT_EQ(show(Activity::eating(), 0.6), CatSprite::snackEat2);
    EXPECT_EQ(show(Activity::eating(), 0.85), CatSprite::snackEat4);
    EXPECT_EQ(show(Activity::eating(), 1.15), CatSprite::snackEat2);
    EXPECT_EQ(show(Activity::eating(), 1.95), CatSprite::happy);
    restartInBed();
    EXPECT_EQ(show(Activity::eating(), 0.4), CatSprite::bedYawn11);
    EXPECT_EQ(show(Activity::eating(), 0.6), CatSprite::bedSausage43);
    EXPECT_EQ(show(Activity::eating(), 0.85), CatSprite::bedSausage44);
    EXPECT_EQ(show(Activity::eating(), 1.95), CatSprite::bedLook1);
}

TEST_F(PictureTest, TimedAndMirroredRows) {
    EXPECT_EQ(show(Activity::waving(), 0.1), CatSprite::wave1);
    EXPECT_EQ(show(Activity::waving(), 0.25), CatSprite::wave2);
    // A bed clip past its last pose falls back to the resting pose, the phone's while the cat
    // holds it.
    restartInBed();
    takeUpThePhone();
    EXPECT_EQ(show(Activity::inBed(3), 1000), CatSprite::bedPhoneScroll1);

    // Pouncing leans into the leap, mirrored when facing left.
    const auto pounce = Activity::pouncing(QPointF(0, 0), QPointF(0, 0));
    cat->state.setFacingRight(true);
    EXPECT_EQ(show(pounce, 0.4), CatSprite::huntPounce);
    EXPECT_NEAR(cat->state.tilt(), 0.7 * 25, 1e-4);
    EXPECT_FALSE(cat->state.swaying());
    cat->state.setFacingRight(false);
    show(pounce, 0.4);
    EXPECT_NEAR(cat->state.tilt(), -0.7 * 25, 1e-4);
}

TEST_F(PictureTest, HeartsBlinksAndTheOpenMouth) {
    show(Activity::petting(), 0);
    EXPECT_TRUE(cat->state.hearts());
    show(Activity::idle(), 0);
    EXPECT_FALSE(cat->state.hearts());

    // A file over the cat opens its mouth whatever it does; in bed the bed variant.
    ASSERT_TRUE(cat->onDragHover(true));
    EXPECT_EQ(show(Activity::sleeping(), 0), CatSprite::gulp);
    EXPECT_EQ(show(Activity::walking(900, Arrival::rest()), 0), CatSprite::gulp);
    restartInBed();
    ASSERT_TRUE(cat->onDragHover(true));
    EXPECT_EQ(show(Activity::inBed(std::nullopt), 0), CatSprite::bedYawn11);
    ASSERT_TRUE(cat->pickUp(QPointF(500, 100))); // out of bed
    cat->onDragHover(false);

    // The blink shows only while idle and not happy.
    probe().blinkUntil() = now() + 0.15;
    EXPECT_EQ(show(Activity::idle(), 0), CatSprite::sitBlink);
    EXPECT_EQ(show(Activity::snacking(), 0), CatSprite::snackGet1);
    probe().start(Activity::idle(), now());
    cat->tapCat(); // hearts for an idle cat
    EXPECT_EQ(show(Activity::idle(), 0), CatSprite::happy);
    EXPECT_TRUE(cat->state.hearts());
}

TEST_F(PictureTest, HeldCatHangsFromItsHangPoint) {
    // Picked up and swung sideways and up, past the grab frame.
    ASSERT_TRUE(cat->pickUp(QPointF(500, 600)));
    for (int i = 1; i <= 30; ++i) {
        const double s = i * 0.016;
        cat->onCarry(QPointF(500 + 3000 * s * s, 600 + 2000 * s * s));
        tickAfter(0.016);
    }
    const Dangle& d = cat->holding().dangle();
    ASSERT_GT(std::abs(d.angle), 2);
    ASSERT_NE(d.sprite, CatSprite::heldSwing6);
    EXPECT_EQ(cat->state.sprite(), d.sprite);
    // Test frames: hang point (39.75, 69.5), mass centre (39.75, 39.75): straight below. The
    // pose is drawn to whole degrees and hundredths of stretch.
    EXPECT_DOUBLE_EQ(cat->state.tilt(), std::round(d.angle));
    EXPECT_DOUBLE_EQ(cat->state.squash(), std::round(d.stretch * 100) / 100);
    EXPECT_TRUE(cat->state.swaying());
    EXPECT_DOUBLE_EQ(cat->state.anchor().x(), 39.75 / 96);
    EXPECT_DOUBLE_EQ(cat->state.anchor().y(), 1 - 69.5 / 96);
    EXPECT_DOUBLE_EQ(cat->state.captionAt().x(), 39.75 - 48);
    EXPECT_DOUBLE_EQ(cat->state.captionAt().y(), 96 - 69.5 - 12);
    const auto held = cat->snapshot();
    EXPECT_EQ(panel->rect, (Rect{held.x - 100, held.feetY - 16, 200, 150}));

    show(Activity::idle(), 0);
    EXPECT_EQ(cat->state.anchor(), QPointF(0.5, 1.0));
    EXPECT_EQ(cat->state.captionAt(), QPointF(0, 96 - 70)); // sit headroom
}

TEST_F(PictureTest, IdleCatCausesNoUpdates) {
    cat->tick();
    int changes = 0;
    QObject::connect(&cat->state, &CatState::changed, [&] { ++changes; });
    const int moves = panel->moves;
    for (int i = 0; i < 300; ++i)
        tickAfter(0.016);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(panel->moves, moves);
    probe().start(Activity::walking(900, Arrival::rest()), now());
    tickAfter(0.05); // past the walk's first picture, which stands where it set out
    EXPECT_GT(changes, 0);
    EXPECT_GT(panel->moves, moves);
}

TEST_F(PictureTest, BubblesStayOnScreen) {
    // Eaten bubble at the left edge: the panel hangs over by at most 19 points.
    probe().x() = 50;
    cat->state.setEaten(CatState::Eaten{{"a.txt"}, {}});
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{-19, 36, 300, 390}));
    EXPECT_EQ(cat->state.catOffset(), -81);
    probe().x() = 1900;
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{1639, 36, 300, 390}));
    EXPECT_EQ(cat->state.catOffset(), 111);
    cat->state.setEaten(std::nullopt);

    // A report letter is shorter near the top of the screen, never below 150 points.
    probe().x() = 960;
    cat->state.setReading(Letter{"week", FocusReport{}, false});
    probe().feetY() = 200;
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{790, 184, 340, 660}));
    probe().feetY() = 700;
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{790, 684, 340, 366}));
    probe().feetY() = 1000;
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{790, 984, 340, 150}));
    // A report bubble is 290 wide: 19 points of overhang allowed at the right edge.
    probe().x() = 1920;
    probe().layout();
    EXPECT_EQ(panel->rect.x, 1920 - 340 + 19);
    EXPECT_EQ(cat->state.catOffset(), 1920 - (1599 + 170));

    cat->state.setReading(Letter{"note", std::nullopt, false});
    probe().x() = 960;
    probe().feetY() = 52;
    probe().layout();
    EXPECT_EQ(panel->rect, (Rect{810, 36, 300, 390}));
    EXPECT_EQ(cat->state.catOffset(), 0);
}

} // namespace
