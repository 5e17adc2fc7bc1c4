#include "kit/SpriteImages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A folder with a PNG for every frame: 6 × 4 pixels, transparent but for one pixel at (1, 2),
// and 40 × 20 for the empty bed, so sizes can be told apart.
class FrameFolder {
  public:
    FrameFolder() {
        for (CatSprite sprite : CatSprite::allCases()) {
            const bool bed = sprite == CatSprite::bedEmpty;
            QImage image(bed ? 40 : 6, bed ? 20 : 4, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            image.setPixelColor(1, 2, QColor(200, 100, 50, 255));
            image.save(path(sprite));
        }
    }
    QString prefix() const { return dir.path() + "/"; }
    QString path(CatSprite sprite) const { return prefix() + sprite.rawValue() + ".png"; }

  private:
    QTemporaryDir dir;
};

} // namespace

TEST(SpriteImages, loadsEveryFrameAtTwoPixelsPerPoint) {
    FrameFolder folder;
    SpriteImages::open(folder.prefix());

    EXPECT_EQ(SpriteImages::size(CatSprite::walk1), QSizeF(3, 2));
    EXPECT_EQ(SpriteImages::size(CatSprite::bedEmpty), QSizeF(20, 10));
    EXPECT_EQ(SpriteImages::image(CatSprite::bedEmpty).size(), QSize(40, 20));
    EXPECT_DOUBLE_EQ(SpriteImages::image(CatSprite::bedPhoneRoll81).devicePixelRatio(), 2.0);

    // The loaded frames feed the geometry: pixel (1, 2) of a 4-row image is point (0.5, 0.5).
    const auto& g = CatSprite::geometry(CatSprite::bedPhoneLike40);
    EXPECT_EQ(g.bounds, (Rect{0.5, 0.5, 0.5, 0.5}));
    EXPECT_EQ(g.massCenter, QPointF(0.5, 0.5));
}

// A sitting cat asks for its frame every so often: that frame stays, the one not shown since the
// previous sweep goes, and comes back with the same pixels from the same folder when it is asked
// for again. A copy taken before the sweep keeps its pixels.
TEST(SpriteImages, aSweptFrameComesBackTheSameAndCopiesKeepTheirPixels) {
    FrameFolder folder;
    SpriteImages::open(folder.prefix());
    const QImage walked = SpriteImages::image(CatSprite::walk1);
    SpriteImages::image(CatSprite::sit);
    EXPECT_EQ(SpriteImages::sweep(), 0); // both were asked for since the start

    SpriteImages::image(CatSprite::sit);
    EXPECT_EQ(SpriteImages::sweep(), 1);
    EXPECT_EQ(walked.pixelColor(1, 2), QColor(200, 100, 50));

    const QImage& again = SpriteImages::image(CatSprite::walk1);
    EXPECT_EQ(again, walked);
    EXPECT_EQ(again.size(), QSize(6, 4));
    EXPECT_DOUBLE_EQ(again.devicePixelRatio(), 2.0);
    SpriteImages::image(CatSprite::sit);
    EXPECT_EQ(SpriteImages::sweep(), 0); // both asked for again since the last sweep
    EXPECT_EQ(SpriteImages::sweep(), 2);
}

// A frame's size comes from its header, and a frame the geometry scan just decoded is shown
// from that decode: neither reads the file again (here it is gone, which would stop the app).
TEST(SpriteImages, sizesAndAScannedFrameNeedNoSecondRead) {
    FrameFolder folder;
    SpriteImages::open(folder.prefix());
    QFile::remove(folder.path(CatSprite::bedEmpty));
    EXPECT_EQ(SpriteImages::size(CatSprite::bedEmpty), QSizeF(20, 10));
    EXPECT_EQ(SpriteImages::sweep(), 0); // nothing was decoded for it

    const auto& g = CatSprite::geometry(CatSprite::bedMusic67);
    EXPECT_EQ(g.bounds, (Rect{0.5, 0.5, 0.5, 0.5}));
    QFile::remove(folder.path(CatSprite::bedMusic67));
    const QImage shown = SpriteImages::image(CatSprite::bedMusic67);
    EXPECT_EQ(shown.size(), QSize(6, 4));
    EXPECT_EQ(shown.pixelColor(1, 2), QColor(200, 100, 50));
    EXPECT_EQ(SpriteImages::sweep(), 0); // held, as shown since the last sweep
    EXPECT_EQ(SpriteImages::sweep(), 1);
}

TEST(SpriteImagesDeathTest, aMissingOrUnreadableFrameStopsTheApp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    FrameFolder folder;
    QFile::remove(folder.path(CatSprite::huntPounce));
    EXPECT_DEATH(SpriteImages::open(folder.prefix()),
                 "sprite hunt_2 is missing from the app bundle \\(run `make`");

    FrameFolder garbled;
    QFile file(garbled.path(CatSprite::over4));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a png");
    file.close();
    EXPECT_DEATH(SpriteImages::open(garbled.prefix()),
                 "sprite climb_over_4 is missing from the app bundle");
}
