#include "CatHarness.h"

namespace {

using K = Activity::Kind;

// The desktop changes under an entered cat: screens and windows are faked, and the change is
// announced the way the app does it.
class ScreenChangeTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        make();
        cat->enter(false);
    }
    // A new screen of w × h with a visible frame starting `dock` points above its bottom.
    void screenBecomes(double w, double h, double dock = 0) {
        screens.full = Rect{0, 0, w, h};
        screens.visible = Rect{0, dock, w, h - dock};
        cat->screenParametersChanged();
    }
    CatOverlay::Snapshot s() { return cat->snapshot(); }
    void runWhileFalling() {
        for (int i = 0; i < 600 && s().activity.is(K::falling); ++i)
            tickAfter(1.0 / 60);
    }
};

TEST_F(ScreenChangeTest, AStillCatIsPutOnTheNewFloorAndItsPanelMoved) {
    probe().settle(900);
    probe().activity() = Activity::snacking();
    tickAfter(0.02);
    const int moves = panel->moves;

    // Only the height changes: in y-up points nothing moved, yet the panel must be set again.
    screenBecomes(1920, 768, 40);
    EXPECT_EQ(s().feetY, 52);
    EXPECT_EQ(s().x, 900);
    EXPECT_GT(panel->moves, moves);
    EXPECT_TRUE(s().activity.is(K::snacking));

    // A dock of 60 points comes, then goes: the feet follow at once.
    screenBecomes(1920, 768, 60);
    EXPECT_EQ(s().feetY, 72);
    EXPECT_EQ(panel->rect.y, 56);
    screenBecomes(1920, 768, 0);
    EXPECT_EQ(s().feetY, 12);
    EXPECT_EQ(panel->rect.y, -4);
}

TEST_F(ScreenChangeTest, ACatLeftOutsideAShrunkenScreenComesBackInside) {
    probe().settle(1230);
    screenBecomes(1024, 768);
    EXPECT_EQ(s().x, 1024 - 48);
    EXPECT_EQ(s().feetY, 12);

    // A walk whose target left the screen gets one inside it, near the edge it aimed at.
    probe().settle(500);
    probe().start(Activity::walking(1542, Arrival::rest()), now());
    screenBecomes(800, 600);
    const auto snap = s();
    const auto* walk = snap.activity.as<activity::Walking>();
    ASSERT_NE(walk, nullptr);
    EXPECT_GE(walk->to, 48);
    EXPECT_LE(walk->to, 800 - 48);
    EXPECT_GT(walk->to, 400); // the right-hand entry spot
    EXPECT_EQ(s().x, 500);
}

TEST_F(ScreenChangeTest, ErrandsOffTheScreenKeepToTheNewEdges) {
    // Walking in from the left parking place: it stays outside and walks in to a new spot.
    probe().start(Activity::walking(1700, Arrival::rest()), now());
    probe().x() = -130;
    screenBecomes(1024, 768);
    EXPECT_EQ(s().x, -130);
    EXPECT_LE(s().activity.as<activity::Walking>()->to, 1024 - 48);

    // Fetching letters off the right edge of a screen that grew: the target follows the edge.
    probe().settle(1500);
    screenBecomes(1920, 1080);
    probe().start(Activity::walking(1920 + 130, Arrival::fetch()), now());
    screenBecomes(1024, 768);
    EXPECT_EQ(s().activity.as<activity::Walking>()->to, 1024 + 130);
    EXPECT_EQ(s().x, 1024 - 48); // it was on screen, so it is still on screen
    screenBecomes(2560, 1440);
    EXPECT_EQ(s().activity.as<activity::Walking>()->to, 2560 + 130);
}

TEST_F(ScreenChangeTest, ACatOnAWindowRidesAlongOrFallsWhenTheWindowLeaves) {
    // The window stays put on the server, so in y-up terms it drops with the screen's top.
    showWindows({window(7, {300, 400, 500, 300})});
    probe().settle(500);
    probe().platform() = Platform::on(cat->polledWindows()[0]);
    probe().feetY() = 700;
    windowList.set({window(7, {300, 400 - 312, 500, 300})});
    screenBecomes(1920, 768, 40);
    ASSERT_NE(s().platform.window(), nullptr);
    EXPECT_EQ(s().platform.window()->frame.maxY(), 388);
    EXPECT_EQ(s().feetY, 388);
    EXPECT_TRUE(s().activity.is(K::idle));

    // Climbing its face: the climb goes on from the same place on the face.
    probe().start(Activity::climbingUp(cat->polledWindows()[0]), now());
    probe().platform() = Platform::floor();
    probe().feetY() = 200;
    windowList.set({window(7, {300, 88 + 312, 500, 300})});
    screenBecomes(1920, 1080, 40);
    ASSERT_TRUE(s().activity.is(K::climbingUp));
    EXPECT_EQ(s().activity.as<activity::ClimbingUp>()->window.frame.y, 400);
    EXPECT_EQ(s().feetY, 512);

    // A window that left the visible frame takes the cat down with it.
    probe().activity() = Activity::idle();
    probe().platform() = Platform::on(cat->polledWindows()[0]);
    probe().feetY() = 700;
    windowList.set({window(7, {1300, 400 - 312, 500, 300})});
    screenBecomes(1024, 768, 40);
    EXPECT_TRUE(s().activity.is(K::falling));
    EXPECT_TRUE(s().platform.isFloor());
    EXPECT_LE(s().x, 1024 - 48);
    runWhileFalling();
    EXPECT_EQ(s().feetY, 52);
}

TEST_F(ScreenChangeTest, ACatOnAWindowFaceCutByTheNewEdgeStaysOnScreen) {
    // On 1920 × 1080 the cat climbs the face of a window 370 wide whose left edge is at
    // `left`, then the screen shrinks to 1024 × 768 and the window keeps its place on the server.
    const auto climbThenShrink = [&](quint32 id, double left, double catX, double feet) {
        screenBecomes(1920, 1080);
        showWindows({window(id, {left, 400, 370, 300})});
        probe().settle(catX);
        probe().start(Activity::climbingUp(cat->polledWindows()[0]), now());
        probe().feetY() = feet;
        windowList.set({window(id, {left, 400 - 312, 370, 300})});
        screenBecomes(1024, 768);
    };

    // The face still reaches into the shrunken screen: the climb goes on, inside the edge.
    climbThenShrink(7, 850, 1000, 500);
    ASSERT_TRUE(s().activity.is(K::climbingUp));
    EXPECT_EQ(s().x, 1024 - 48);
    EXPECT_EQ(s().feetY, 500 - 312);

    // Only a sliver is left on screen: the cat lets go and lands inside the screen.
    climbThenShrink(8, 990, 1100, 600);
    EXPECT_TRUE(s().activity.is(K::falling));
    EXPECT_LE(s().x, 1024 - 48);
    runWhileFalling();
    EXPECT_EQ(s().feetY, 12);
    EXPECT_LE(s().x, 1024 - 48);
}

TEST_F(ScreenChangeTest, NothingHappensBeforeTheCatEntered) {
    panel = nullptr;
    make();
    screenBecomes(1024, 768);
    EXPECT_EQ(panel, nullptr);
    cat->enter(false);
    EXPECT_EQ(s().x, -130);
    EXPECT_EQ(s().feetY, 12);
}

} // namespace
