// Where the user leaves the bed, and how the cat gets into it from there.

#include "CatHarness.h"

using K = Activity::Kind;

namespace {

// Screen 0: visible 0 … 1920 x 40 … 1050, the floor at 52. The bed is 96 x 48 points.
class BedReachTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(300, {.bed = true});
    }
    // Moves the empty bed the way the user drags its panel.
    void dragEmptyBedTo(QPointF spot) {
        bed->rect = Rect{spot.x() - 48, spot.y() - 4, 96, 48};
        cat->bedPanelMoved();
    }
    QPointF bedSpot() { return cat->snapshot().bedSpot; }
    std::optional<QList<double>> saved() { return defaults.reopened()->realList("bedSpot"); }
};

TEST_F(BedReachTest, ABedLetGoInMidAirSettlesOntoWhatStandsBelowIt) {
    // 60 points above the floor a jump still reaches it: it stays where it was let go.
    dragEmptyBedTo(QPointF(900, 112));
    EXPECT_EQ(bedSpot(), QPointF(900, 112));
    EXPECT_EQ(saved(), (QList<double>{900, 112}));
    // Higher, over nothing but the floor: it comes down onto the floor, saved there.
    dragEmptyBedTo(QPointF(900, 700));
    EXPECT_EQ(bedSpot(), QPointF(900, 52));
    EXPECT_EQ(bed->rect, (Rect{852, 48, 96, 48}));
    EXPECT_EQ(saved(), (QList<double>{900, 12})); // a bed on the floor is saved on the full floor
    // High over a window: onto its top.
    showWindows({window(7, Rect{700, 40, 500, 400})}); // top 440
    dragEmptyBedTo(QPointF(900, 800));
    EXPECT_EQ(bedSpot(), QPointF(900, 440));
    EXPECT_EQ(saved(), (QList<double>{900, 440}));
    EXPECT_EQ(bed->rect, (Rect{852, 436, 96, 48}));

    // Dragged with the cat lying in it, the same: both come down together.
    ASSERT_EQ(focusUntilInBed().last(), "inBed");
    const QPointF press(900, 450);
    ASSERT_TRUE(cat->onGrabBed(press));
    cat->onMoveBed(press + QPointF(400, 500));
    EXPECT_EQ(bedSpot(), QPointF(1300, 904)); // as high as it goes
    cat->placeBed();
    EXPECT_EQ(bedSpot(), QPointF(1300, 52));
    EXPECT_EQ(cat->snapshot().x, 1300);
    EXPECT_EQ(cat->snapshot().feetY, 64);
    EXPECT_TRUE(cat->snapshot().lying);
}

TEST_F(BedReachTest, TheCatJumpsInFromTheTopBelowTheBedOrFromTheFloor) {
    // Over a window whose face reaches the floor: up its face, then the jump from its top.
    showWindows({window(7, Rect{700, 40, 500, 400})}); // top 440
    dragEmptyBedTo(QPointF(900, 480));
    EXPECT_EQ(bedSpot(), QPointF(900, 480)); // 40 above the top: within a jump
    EXPECT_EQ(focusUntilInBed(), (QStringList{"walking", "climbingUp", "pullingUp", "idle",
                                              "walking", "jumping", "inBed"}));
    EXPECT_EQ(cat->snapshot().feetY, 492);
    cat->setPomodoro(false, std::nullopt);
    for (int i = 0; i < 1500 && cat->snapshot().lying; ++i)
        tickAfter(0.02);
    ASSERT_FALSE(cat->snapshot().lying);

    // Over a window floating 200 points above the floor: no climb through the air below it,
    // the cat jumps in from the floor.
    showWindows({window(8, Rect{700, 252, 500, 188})}); // top 440 again
    for (int i = 0; i < 500 && cat->snapshot().activity.kind() != K::idle; ++i)
        tickAfter(0.02);
    probe().settle(300);
    EXPECT_EQ(focusUntilInBed(), (QStringList{"walking", "jumping", "inBed"}));
    EXPECT_EQ(cat->snapshot().x, 900);
}

} // namespace
