// The drawn frames, checked for what the engine relies on. They are read from the app's
// resources, the way the app loads them.
#include "frames/BedClip.h"
#include "kit/SpriteImages.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Two pixels per point; the feet line is 16 points above the canvas bottom.
constexpr double feetLine = 16;

class Frames : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { SpriteImages::open(); }

    static int opaqueCount(const QImage& image) {
        const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        int n = 0;
        for (int y = 0; y < rgba.height(); ++y)
            for (int x = 0; x < rgba.width(); ++x)
                n += rgba.constScanLine(y)[4 * x + 3] > 40;
        return n;
    }

    // How many pixels two frames differ in.
    static int difference(CatSprite a, CatSprite b) {
        const QImage pa = SpriteImages::image(a).convertToFormat(QImage::Format_ARGB32);
        const QImage pb = SpriteImages::image(b).convertToFormat(QImage::Format_ARGB32);
        int n = 0;
        for (int y = 0; y < pa.height(); ++y)
            for (int x = 0; x < pa.width(); ++x)
                n += pa.pixel(x, y) != pb.pixel(x, y);
        return n;
    }

    // A loop joins smoothly when going from its last frame back to its first changes no more
    // than the biggest step inside the loop.
    static void expectSmoothLoop(const std::vector<CatSprite>& loop) {
        int biggest = 0;
        for (size_t i = 1; i < loop.size(); ++i)
            biggest = std::max(biggest, difference(loop[i - 1], loop[i]));
        EXPECT_LE(difference(loop.back(), loop.front()), biggest * 5 / 4)
            << loop.front().rawValue().toStdString();
    }

    // The bottom rows of a frame as 32-bit pixels, for comparing with the empty bed.
    static QImage bottomRows(CatSprite sprite, int rows) {
        const QImage& image = SpriteImages::image(sprite);
        return image.copy(0, image.height() - rows, image.width(), rows)
            .convertToFormat(QImage::Format_ARGB32);
    }
};

// Frames whose cat stands, walks or sits on the floor.
std::vector<CatSprite> floorFrames() {
    std::vector<CatSprite> out;
    const auto& walk = CatSprite::walkLoop();
    const auto& letter = CatSprite::walkLetterLoop();
    out.insert(out.end(), walk.begin(), walk.end());
    out.insert(out.end(), letter.begin(), letter.end());
    for (int i = CatSprite::sitLetter; i <= CatSprite::snackEat6; ++i)
        out.push_back(CatSprite::Case(i));
    for (CatSprite s :
         {CatSprite::sleep, CatSprite::yawn, CatSprite::wave1, CatSprite::wave2, CatSprite::land,
          CatSprite::gulp, CatSprite::huntAmbush, CatSprite::huntCaught})
        out.push_back(s);
    return out;
}

} // namespace

TEST_F(Frames, everyFrameIsBundledOnItsCanvasWithTheCatOpaque) {
    for (CatSprite sprite : CatSprite::allCases()) {
        const QImage& image = SpriteImages::image(sprite);
        const QSize expected = sprite == CatSprite::bedEmpty ? QSize(192, 96) : QSize(192, 192);
        EXPECT_EQ(image.size(), expected) << sprite.rawValue().toStdString();
        EXPECT_GT(opaqueCount(image), 500) << sprite.rawValue().toStdString();
        // The app keeps every frame decoded; one byte a pixel keeps them all near 40 MB.
        EXPECT_EQ(image.depth(), 8) << sprite.rawValue().toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << sprite.rawValue().toStdString();
    }
}

TEST_F(Frames, standingWalkingAndSittingPawsRestOnTheFeetLine) {
    for (CatSprite sprite : floorFrames()) {
        const auto& g = CatSprite::geometry(sprite);
        EXPECT_NEAR(g.bounds.minY(), feetLine, 2.0) << sprite.rawValue().toStdString();
    }
    // Falling is in the air.
    EXPECT_GT(CatSprite::geometry(CatSprite::fall).bounds.minY(), feetLine + 2);
}

TEST_F(Frames, heldFramesHangByTheScruffAboveTheirWeight) {
    for (int i = CatSprite::heldSwing1; i <= CatSprite::heldAngry4; ++i) {
        const CatSprite sprite = CatSprite::Case(i);
        const auto& g = CatSprite::geometry(sprite);
        const std::string name = sprite.rawValue().toStdString();
        EXPECT_GE(g.hangPoint.y(), g.bounds.maxY() - g.bounds.height / 3) << name;
        EXPECT_GE(g.hangPoint.x(), g.bounds.minX()) << name;
        EXPECT_LE(g.hangPoint.x(), g.bounds.maxX()) << name;
        // Hanging from the nape, the weight is well below and not far to the side, so the
        // view's correction turns the drawing only a little.
        EXPECT_LT(g.massCenter.y(), g.hangPoint.y() - g.bounds.height / 3) << name;
        EXPECT_LT(std::abs(g.massCenter.x() - g.hangPoint.x()), g.bounds.width / 3) << name;
    }
}

TEST_F(Frames, swingFramesLeanFromOneSideToTheOther) {
    // The lean shows as the mass centre moving across, relative to the hang point.
    auto offset = [](CatSprite s) {
        const auto& g = CatSprite::geometry(s);
        return g.massCenter.x() - g.hangPoint.x();
    };
    EXPECT_LT(offset(CatSprite::heldSwing1), offset(CatSprite::heldSwing2));
    EXPECT_LT(offset(CatSprite::heldSwing2), offset(CatSprite::heldSwing3));
    EXPECT_LT(offset(CatSprite::heldSwing3), offset(CatSprite::heldSwing4));
    EXPECT_LT(offset(CatSprite::heldSwing4), offset(CatSprite::heldSwing5));
}

TEST_F(Frames, everyBedFrameHasTheEmptyBedAtItsBottom) {
    const int rows = 20; // ten points: the front rim, below anything the cat does
    const QImage bed = bottomRows(CatSprite::bedEmpty, rows);
    for (const auto& clip : CatSprite::BedClip::bedClips())
        for (const auto& pose : clip.poses)
            EXPECT_EQ(bottomRows(pose.sprite, rows), bed) << pose.sprite.rawValue().toStdString();
}

TEST_F(Frames, bedClipsBeginAndEndOnTheirStillPose) {
    auto still = [](CatSprite::Hold hold) {
        return hold == CatSprite::Hold::phone ? CatSprite(CatSprite::bedPhoneScroll1)
                                              : CatSprite(CatSprite::bedLook1);
    };
    auto pixels = [](CatSprite s) {
        return SpriteImages::image(s).convertToFormat(QImage::Format_ARGB32);
    };
    for (const auto& clip : CatSprite::BedClip::bedClips()) {
        const std::string name = clip.name.toStdString();
        EXPECT_EQ(pixels(clip.poses.front().sprite), pixels(still(clip.from))) << name;
        EXPECT_EQ(pixels(clip.poses.back().sprite), pixels(still(clip.to))) << name;
    }
}

TEST_F(Frames, walksAndLoopedBedStretchesJoinWithoutAJump) {
    expectSmoothLoop(CatSprite::walkLoop());
    expectSmoothLoop(CatSprite::walkLetterLoop());
    for (const auto& clip : CatSprite::BedClip::bedClips()) {
        if (!clip.loop || clip.swing) continue;
        std::vector<CatSprite> loop;
        for (int i = clip.loop->first; i <= clip.loop->second; ++i)
            loop.push_back(clip.poses[size_t(i)].sprite);
        expectSmoothLoop(loop);
    }
}

TEST_F(Frames, everyFrameKeepsAClearMarginInsideItsCanvas) {
    // Anything drawn on the outermost point of the canvas is cut by the panel: a sheared tail,
    // a flat ear tip.
    constexpr int margin = 2; // pixels: one point
    for (CatSprite sprite : CatSprite::allCases()) {
        const QImage rgba =
            SpriteImages::image(sprite).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        int left = 0, right = 0, top = 0, bottom = 0;
        for (int y = 0; y < rgba.height(); ++y)
            for (int x = 0; x < rgba.width(); ++x) {
                if (rgba.constScanLine(y)[4 * x + 3] == 0) continue;
                left += x < margin;
                right += x >= rgba.width() - margin;
                top += y < margin;
                bottom += y >= rgba.height() - margin;
            }
        EXPECT_EQ(left + right + top + bottom, 0)
            << sprite.rawValue().toStdString() << ": left " << left << ", right " << right
            << ", top " << top << ", bottom " << bottom;
    }
}
