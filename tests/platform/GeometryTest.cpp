#include "platform/Geometry.h"

#include <gtest/gtest.h>

TEST(Coordinates, X11PixelsAndYUpPointsRoundTrip) {
    // A 100 x 50 window whose top-left pixel is (10, 20) on a 1080-pixel-high screen.
    const Rect r = Coordinates::fromX11(QRect(10, 20, 100, 50), 1080);
    EXPECT_EQ(r, (Rect{10, 1080 - 70, 100, 50}));
    EXPECT_EQ(Coordinates::toX11(r, 1080), QRect(10, 20, 100, 50));

    // At two pixels per point everything halves.
    const Rect hi = Coordinates::fromX11(QRect(20, 40, 200, 100), 2160, 2.0);
    EXPECT_EQ(hi, (Rect{10, 1010, 100, 50}));
    EXPECT_EQ(Coordinates::toX11(hi, 2160, 2.0), QRect(20, 40, 200, 100));

    const QPointF p = Coordinates::pointFromX11(QPointF(5, 0), 1080);
    EXPECT_EQ(p, QPointF(5, 1080));
    EXPECT_EQ(Coordinates::pointToX11(p, 1080), QPointF(5, 0));
}

TEST(Rect, IntersectionNeedsPositiveArea) {
    const Rect a{0, 0, 10, 10};
    EXPECT_TRUE(a.intersects({9, 9, 5, 5}));
    EXPECT_FALSE(a.intersects({10, 0, 5, 5})); // touching edges only
    EXPECT_FALSE(a.intersects({2, 2, 0, 5}));  // empty
}
