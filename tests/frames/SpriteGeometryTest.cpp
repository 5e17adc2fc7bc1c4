#include "frames/CatSprite.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A transparent RGBA canvas with room for extra rows below the image and padding at each row's
// end, so a scan that strays past the image's edges finds pixels it must not count.
struct Canvas {
    int width, height, extraRows, padding;
    std::vector<uchar> bytes;

    Canvas(int w, int h, int extraRows = 0, int padding = 0)
        : width(w), height(h), extraRows(extraRows), padding(padding),
          bytes(size_t((4 * w + padding) * (h + extraRows)), 0) {}

    qsizetype stride() const { return 4 * width + padding; }
    void set(int x, int y, uchar alpha = 255) {
        uchar* p = &bytes[size_t(y * stride() + 4 * x)];
        p[0] = p[1] = p[2] = p[3] = alpha; // premultiplied white
    }
    CatSprite::Bitmap bitmap(double pointsPerPixel = 0.5) const {
        return {width, height, pointsPerPixel, bytes.data(), stride()};
    }
};

void expectPoint(QPointF actual, double x, double y) {
    EXPECT_DOUBLE_EQ(actual.x(), x);
    EXPECT_DOUBLE_EQ(actual.y(), y);
}

} // namespace

TEST(SpriteGeometry, singlePixelUsesPixelIndicesWithoutHalfPixelOffset) {
    Canvas canvas(192, 192);
    canvas.set(10, 20);
    const auto g = CatSprite::computeGeometry(canvas.bitmap(), u"sit");
    EXPECT_EQ(g.bounds, (Rect{5, 85.5, 0.5, 0.5}));
    expectPoint(g.hangPoint, 5, 85.5);
    expectPoint(g.massCenter, 5, 85.5);
}

TEST(SpriteGeometry, alphaAboveFortyIsOpaque) {
    Canvas canvas(192, 192);
    canvas.set(100, 100, 40); // antialiasing fringe
    canvas.set(10, 20, 41);
    const auto g = CatSprite::computeGeometry(canvas.bitmap(), u"sit");
    EXPECT_EQ(g.bounds, (Rect{5, 85.5, 0.5, 0.5}));
    expectPoint(g.massCenter, 5, 85.5);
}

TEST(SpriteGeometry, hangPointTakesTheSixTopRowsAndMassCenterAllPixels) {
    Canvas canvas(20, 20, 0, 12);
    canvas.set(4, 2);
    canvas.set(5, 2);
    canvas.set(0, 7); // sixth row from the top of the cat: still the head
    for (int x = 10; x < 20; ++x)
        canvas.set(x, 8); // seventh row: the body, left out of the hang point
    const auto g = CatSprite::computeGeometry(canvas.bitmap(), u"held_swing_1");

    EXPECT_EQ(g.bounds, (Rect{0, 5.5, 10, 3.5}));
    expectPoint(g.hangPoint, (4 + 5 + 0) / 3.0 * 0.5, 8.5);
    // 13 pixels: columns 4, 5, 0 and 10 … 19; rows 2, 2, 7 and ten times 8 (mean 7).
    expectPoint(g.massCenter, (9 + 145) / 13.0 * 0.5, (19 - 7) * 0.5);
}

TEST(SpriteGeometry, hangScanStopsAtTheBottomEdge) {
    Canvas canvas(10, 10, 4);
    canvas.set(2, 7);
    canvas.set(6, 9);
    for (int x = 0; x < 10; ++x)
        canvas.set(x, 11); // beyond the image's last row
    const auto g = CatSprite::computeGeometry(canvas.bitmap(), u"fall");
    expectPoint(g.hangPoint, 2, 1);
    EXPECT_EQ(g.bounds, (Rect{1, 0, 2.5, 1.5}));
}

TEST(SpriteGeometry, scalesByPointsPerPixel) {
    Canvas canvas(4, 4);
    canvas.set(1, 0);
    canvas.set(3, 3);
    const auto g = CatSprite::computeGeometry(canvas.bitmap(1.0), u"land");
    EXPECT_EQ(g.bounds, (Rect{1, 0, 3, 4}));
    expectPoint(g.hangPoint, 2, 3);
    expectPoint(g.massCenter, 2, 1.5);
}

TEST(SpriteGeometry, isComputedOncePerFrameFromTheInstalledSource) {
    Canvas canvas(192, 192);
    canvas.set(10, 20);
    std::vector<CatSprite> asked;
    CatSprite::setBitmapSource([&](CatSprite sprite) {
        asked.push_back(sprite);
        return canvas.bitmap();
    });
    const auto& first = CatSprite::geometry(CatSprite::heldAngry2);
    canvas.set(100, 100); // the cache must not see later pixels
    const auto& again = CatSprite::geometry(CatSprite::heldAngry2);
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(again.bounds, (Rect{5, 85.5, 0.5, 0.5}));
    EXPECT_EQ(CatSprite::geometry(CatSprite::heldAngry3).bounds, (Rect{5, 45.5, 45.5, 40.5}));
    EXPECT_EQ(asked, (std::vector<CatSprite>{CatSprite::heldAngry2, CatSprite::heldAngry3}));
    CatSprite::setBitmapSource({});
}

TEST(SpriteGeometryDeathTest, aFrameWithoutOpaquePixelsOrBitmapStopsTheApp) {
    Canvas faint(8, 8);
    faint.set(3, 3, 40);
    EXPECT_DEATH(CatSprite::computeGeometry(faint.bitmap(), u"bed_empty"),
                 "sprite bed_empty is empty");
    EXPECT_DEATH(
        {
            CatSprite::setBitmapSource([](CatSprite) { return CatSprite::Bitmap{}; });
            CatSprite::geometry(CatSprite::gulp);
        },
        "sprite gulp has no bitmap");
}
