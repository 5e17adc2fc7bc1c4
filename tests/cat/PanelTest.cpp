#include "CatHarness.h"

using K = Activity::Kind;

namespace {

class PanelTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
        probe().feetY() = 100;
    }
    bool hitAt(double px, double py) {
        pointer.at = QPointF(px, py);
        return cat->cursorOnCat();
    }
};

TEST_F(PanelTest, HitTestCoversTheDrawnBodyMirroredAndGrown) {
    // Test frames are opaque at canvas x 20 … 60, y 10 … 70.
    cat->state.setFacingRight(true);
    EXPECT_TRUE(hitAt(468, 90));  // 472 − 4, 94 − 4
    EXPECT_TRUE(hitAt(516, 158)); // 512 + 4, 154 + 4
    EXPECT_FALSE(hitAt(467.9, 120));
    EXPECT_FALSE(hitAt(500, 158.1));
    EXPECT_FALSE(hitAt(520, 120));
    // Facing left the drawing is mirrored: x 484 … 524.
    cat->state.setFacingRight(false);
    EXPECT_TRUE(hitAt(520, 120));
    EXPECT_FALSE(hitAt(470, 120));
    // A hop lifts it.
    cat->state.setHop(10);
    EXPECT_FALSE(hitAt(500, 99));
    EXPECT_TRUE(hitAt(500, 168));
}

TEST_F(PanelTest, DragHoverStopsAWalkAndRefusesBusyCats) {
    probe().start(Activity::walking(900, Arrival::rest()), now());
    EXPECT_TRUE(cat->onDragHover(true));
    EXPECT_EQ(cat->snapshot().activity.kind(), K::idle);
    tickAfter(0.1); // an idle cat under a hovering file does not decide anything
    EXPECT_EQ(cat->state.sprite(), CatSprite::gulp);
    EXPECT_FALSE(cat->onDragHover(false));
    EXPECT_FALSE(cat->holding().dragHover());

    for (const Activity& busy : {Activity::reading(), Activity::held(), Activity::falling(0),
                                 Activity::climbingUp(DesktopWindow{})}) {
        probe().start(busy, now());
        EXPECT_FALSE(cat->onDragHover(true)) << busy.description().toStdString();
        EXPECT_FALSE(cat->holding().dragHover());
        EXPECT_EQ(cat->snapshot().activity.kind(), busy.kind());
    }
}

TEST_F(PanelTest, CarryOnlyMovesTheHeldCat) {
    // Held at (10, 10), dropped: a drag event after the release moves nothing.
    ASSERT_TRUE(cat->pickUp(QPointF(10, 10)));
    cat->drop();
    cat->onCarry(QPointF(200, 200));
    EXPECT_EQ(cat->holding().cursor(), QPointF(10, 10));

    // Held and left hanging until it kicks; a move of under half a point does not calm it.
    ASSERT_TRUE(cat->pickUp(QPointF(10, 10)));
    for (int i = 0; i < 80; ++i)
        tickAfter(0.016);
    ASSERT_TRUE(cat->holding().dangle().angry);
    cat->onCarry(QPointF(10.3, 10.3)); // 0.42 points: still
    EXPECT_EQ(cat->holding().cursor(), QPointF(10.3, 10.3));
    EXPECT_TRUE(cat->holding().dangle().angry);
    clock.advance(0.01);
    cat->onCarry(QPointF(11, 10.3));
    EXPECT_FALSE(cat->holding().dangle().angry);
    EXPECT_EQ(cat->holding().dangle().lastMove, now());
}

TEST_F(PanelTest, BedIsGrabbedByItsLowestStripAndTheCatMovesWithIt) {
    // The user puts the empty bed at (500, 88).
    cat.reset();
    enterSitting(500, {.bed = true});
    bed->rect = Rect{452, 84, 96, 48};
    cat->bedPanelMoved();
    ASSERT_EQ(cat->snapshot().bedSpot, QPointF(500, 88));
    EXPECT_FALSE(cat->onGrabBed(QPointF(500, 90))); // not in bed
    dropIntoBed();
    EXPECT_EQ(cat->snapshot().feetY, 100);
    EXPECT_FALSE(cat->onGrabBed(QPointF(500, 84 + 36))); // above the bed strip
    EXPECT_TRUE(cat->onGrabBed(QPointF(510, 84 + 35.9)));
    EXPECT_EQ(*cat->bedPlace().grabbedAt(), QPointF(10, 119.9 - 88));

    cat->onMoveBed(QPointF(810, 219.9));
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(800, 188));
    EXPECT_EQ(cat->snapshot().x, 800);
    EXPECT_EQ(cat->snapshot().feetY, 188 - 4 + 16);
    EXPECT_EQ(panel->rect, (Rect{735, 184, 130, 150}));
}

TEST_F(PanelTest, LettersQueueOnceAndBringAnAbsentCatIn) {
    bool updated = false;
    cat->onUpdate = [&] { updated = true; };
    cat->acceptUpdate();
    EXPECT_TRUE(updated);

    cat->deliver(Letter{"update", std::nullopt, true});
    cat->deliver(Letter{"update again", std::nullopt, true});
    cat->deliver(Letter{"note", std::nullopt, false});
    EXPECT_EQ(cat->letters().size(), 2u);
    EXPECT_EQ(cat->state.unread(), 2);

    make();
    cat->deliver(Letter{"note", std::nullopt, false});
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(cat->snapshot().carrying);
    EXPECT_EQ(cat->snapshot().activity.kind(), K::walking);
    EXPECT_EQ(cat->snapshot().x, -130);
}

} // namespace
