#include "sprites/CatView.h"

#include "CatPictures.h"
#include "cat/CatState.h"
#include "fakes/Wait.h"
#include "focus/Letter.h"
#include "kit/Theme.h"
#include "sprites/Floating.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>

namespace {

struct CatViewTest : ::testing::Test {
    CatState state;
    CatView view{state, [](CatSprite s) -> const QImage& { return catPictures().image(s); }};
    void SetUp() override {
        view.resize(130, 150);
        view.show(); // delivers the resize
        view.clock = [] { return 1000.0; };
    }
    QImage picture() {
        QImage out(view.size(), QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::transparent);
        view.render(&out);
        return out;
    }
    static bool near(QColor a, const QColor& b) {
        return std::abs(a.red() - b.red()) < 4 && std::abs(a.green() - b.green()) < 4 &&
               std::abs(a.blue() - b.blue()) < 4 && std::abs(a.alpha() - b.alpha()) < 4;
    }
    static bool isFur(const QImage& image, QPointF at) {
        const QColor c = image.pixelColor(at.toPoint());
        return c.alpha() == 255 && std::abs(c.red() - CatPictures::fur.red()) < 3 &&
               std::abs(c.blue() - CatPictures::fur.blue()) < 3;
    }
    void click(QPointF at, QPointF releaseAt) {
        QMouseEvent press(QEvent::MouseButtonPress, at, view.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, releaseAt, view.mapToGlobal(releaseAt),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &release);
    }
};

TEST_F(CatViewTest, CatStandsBottomCentredAndFollowsItsOffset) {
    EXPECT_EQ(view.catBox(), QRectF(17, 54, 96, 96));
    // Opaque block of points 20..50 × 50..96 in the image.
    EXPECT_EQ(view.bodyRect(), QRectF(37, 104, 30, 46));
    const QImage before = picture();
    EXPECT_TRUE(isFur(before, {40, 120}));
    EXPECT_EQ(before.pixelColor(90, 120).alpha(), 0);

    state.setCatOffset(-10);
    EXPECT_EQ(view.bodyRect(), QRectF(27, 104, 30, 46));
    EXPECT_TRUE(isFur(picture(), {30, 120}));
}

TEST_F(CatViewTest, FacingLeftMirrorsTheSpriteAboutTheAnchorOnly) {
    state.setUnread(3);
    state.setCaption(QStringLiteral("hi"));
    const auto caption = view.captionRect();
    const auto badge = view.badgeRect();
    state.setFacingRight(false);
    // Mirrored about x = 65 (the bottom-centre anchor): 37..67 becomes 63..93.
    EXPECT_EQ(view.bodyRect(), QRectF(63, 104, 30, 46));
    const QImage image = picture();
    EXPECT_TRUE(isFur(image, {90, 140}));
    EXPECT_EQ(image.pixelColor(40, 140).alpha(), 0);
    EXPECT_EQ(view.captionRect(), caption);
    EXPECT_EQ(view.badgeRect(), badge);
}

TEST_F(CatViewTest, HopSquashAndTiltMoveTheDrawingAboutTheAnchor) {
    state.setHop(10);
    EXPECT_EQ(view.bodyRect(), QRectF(37, 94, 30, 46));
    EXPECT_EQ(view.catBox(), QRectF(17, 54, 96, 96)); // the layout box stays

    state.setHop(0);
    state.setSquash(0.5); // about the feet: the top comes down, the bottom stays
    EXPECT_EQ(view.bodyRect(), QRectF(37, 127, 30, 23));
    EXPECT_TRUE(isFur(picture(), {50, 140}));
    EXPECT_EQ(picture().pixelColor(50, 115).alpha(), 0);

    state.setSquash(1);
    state.setAnchor({0.5, 0.5}); // about the middle of the box, (65, 102)
    state.setTilt(90);           // clockwise: the body's left edge turns to the top
    const QRectF tilted = view.bodyRect();
    EXPECT_NEAR(tilted.left(), 65 - (150 - 102), 1e-9);
    EXPECT_NEAR(tilted.top(), 102 + (37 - 65), 1e-9);
    EXPECT_NEAR(tilted.width(), 46, 1e-9);
    EXPECT_NEAR(tilted.height(), 30, 1e-9);
}

TEST_F(CatViewTest, BadgeShowsFromTwoLettersAndHidesWhileOneIsOpen) {
    state.setUnread(1);
    EXPECT_FALSE(view.badgeRect());
    state.setUnread(2);
    ASSERT_TRUE(view.badgeRect());
    // Top-trailing corner of the cat box, moved 10 left and 12 down.
    EXPECT_DOUBLE_EQ(view.badgeRect()->right(), 113 - 10);
    EXPECT_DOUBLE_EQ(view.badgeRect()->top(), 54 + 12);
    const QRectF badge = *view.badgeRect();
    EXPECT_TRUE(near(picture().pixelColor(QPointF(badge.left() + 4, badge.center().y()).toPoint()),
                     Theme::pink()));
    state.setReading(Letter{QStringLiteral("Water the plants"), std::nullopt, false});
    EXPECT_FALSE(view.badgeRect());
}

TEST_F(CatViewTest, CaptionPillSitsOverTheCatWithAHardShadow) {
    EXPECT_FALSE(view.captionRect());
    state.setCaption(QStringLiteral("12:00"));
    state.setCatOffset(6);
    state.setCaptionAt({-4, 20});
    const auto pill = view.captionRect();
    ASSERT_TRUE(pill);
    // One row above the cat box (top 54, spacing 4), lowered by captionAt.y, moved by
    // catOffset + captionAt.x from the centre.
    EXPECT_DOUBLE_EQ(pill->bottom() - 2, 54 - 4 + 20);
    EXPECT_DOUBLE_EQ(pill->center().x(), 65 + 6 - 4);
    const QImage image = picture();
    const int x = int(pill->center().x());
    EXPECT_TRUE(near(image.pixelColor(x, int(pill->bottom()) - 1), Theme::ink())); // shadow
    EXPECT_TRUE(
        near(image.pixelColor(int(pill->left()) + 6, int(pill->center().y())), Theme::paper()));
    EXPECT_TRUE(view.drawnRegion().contains(pill->center().toPoint()));
}

TEST_F(CatViewTest, CountdownCaptionKeepsItsWidthAsTheDigitsChange) {
    state.setCaption(QStringLiteral("Focus 11:11"));
    const QRectF ones = *view.captionRect();
    state.setCaption(QStringLiteral("Focus 00:00"));
    EXPECT_EQ(view.captionRect()->width(), ones.width());
    state.setCaption(QStringLiteral("Focus 10:00!"));
    EXPECT_GT(view.captionRect()->width(), ones.width()); // other text still counts
}

TEST_F(CatViewTest, DrawnRegionCoversBodyAndCaptionButNotTheClearRest) {
    const QRegion region = view.drawnRegion();
    EXPECT_TRUE(region.contains(QPoint(50, 130)));
    EXPECT_FALSE(region.contains(QPoint(5, 5)));
    EXPECT_FALSE(region.contains(QPoint(100, 130)));
    int changes = 0;
    QObject::connect(&view, &CatView::drawnChanged, [&] { ++changes; });
    // The body (37, 104, 30, 46) grown by 4 and snapped outwards to 4 pixels.
    EXPECT_EQ(region.boundingRect(), QRect(32, 100, 40, 56));
    state.setHearts(true); // streams are not part of what takes the pointer
    state.setSquash(0.99); // nor does a breath reshape it
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 0);
    // Field-by-field writes of one frame reshape the window once.
    state.setCatOffset(20);
    state.setSquash(0.5);
    state.setSquash(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(view.drawnRegion().contains(QPoint(70, 130)));
}

// Each reshape of the window costs a compositor a rework of the whole window, so a swinging,
// climbing or walking cat, whose pictures differ by a few pixels, keeps the area it takes while
// that still covers it; a real move still reshapes it.
TEST_F(CatViewTest, ASwingKeepsTheAreaThatTakesThePointer) {
    int changes = 0;
    QObject::connect(&view, &CatView::drawnChanged, [&] { ++changes; });
    state.setSwaying(true);
    state.setAnchor({0.5, 0.2});
    int firstSwing = 0;
    for (int i = 0; i < 90; ++i) { // three swings of four degrees either side
        if (i == 30) firstSwing = changes;
        state.setTilt(4 * std::sin(i * 2 * M_PI / 30));
        QCoreApplication::processEvents();
        const QRect body = view.bodyRect().toAlignedRect();
        ASSERT_TRUE(view.drawnRegion().boundingRect().contains(body)) << "at pose " << i;
        // Never much more than the body: the spare pixels stay few.
        ASSERT_LE(view.drawnRegion().boundingRect().width(), body.width() + 2 * (4 + 4 + 8));
    }
    // The first swing grows the area a few pixels at a time; the next two reshape nothing.
    EXPECT_LE(firstSwing, 5);
    EXPECT_EQ(changes, firstSwing);
    const int swung = changes;
    state.setTilt(0);
    state.setCatOffset(30);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, swung + 1);
    EXPECT_FALSE(view.drawnRegion().contains(QPoint(40, 130))); // where the body was
}

TEST_F(CatViewTest, RepaintsOnlyWhenTheDrawingVisiblyChanges) {
    int paints = 0;
    struct Counter : QObject {
        int* paints;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++*paints;
            return false;
        }
    } counter;
    counter.paints = &paints;
    view.installEventFilter(&counter);
    const auto settle = [&] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        const int n = paints;
        paints = 0;
        return n;
    };
    settle();
    state.setSquash(1.001); // a tenth of a pixel at the top of the head
    state.setTilt(0.05);
    EXPECT_EQ(settle(), 0);
    state.setSquash(0.98); // two pixels
    EXPECT_EQ(settle(), 1);
    state.setSprite(CatSprite::walk1);
    state.setUnread(2);
    EXPECT_EQ(settle(), 1);
    state.setUnread(3);
    EXPECT_EQ(settle(), 1);
}

// A plain cat's new pictures go to the presenter: the screen, changed only where the view says,
// must then show exactly what Qt would have painted; a caption, a refusal or the first Qt paint
// after presented pictures repaints all.
TEST_F(CatViewTest, PlainPicturesArePresentedAsPaintedAndOverlaysPaintThroughQt) {
    QList<QRect> painted;
    struct Counter : QObject {
        QList<QRect>* painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) *painted << static_cast<QPaintEvent*>(e)->rect();
            return false;
        }
    } counter;
    counter.painted = &painted;
    view.installEventFilter(&counter);
    QList<QList<int>> keys;
    QImage presented = picture(); // the screen: what Qt painted last, then the presented parts
    bool accept = true;
    view.present = [&](const QList<int>& key, const std::function<void(QPainter&)>& paint,
                       const QRect& changed) {
        if (!accept) return false;
        keys << key;
        // Only the changed part is rendered, as the display server's copies are.
        QImage part(changed.size(), QImage::Format_ARGB32_Premultiplied);
        part.fill(Qt::green); // the painter must clear what it does not draw
        QPainter p(&part);
        p.translate(-changed.topLeft());
        paint(p);
        p.end();
        QPainter screen(&presented);
        screen.setCompositionMode(QPainter::CompositionMode_Source);
        screen.drawImage(changed.topLeft(), part);
        return true;
    };
    const auto settle = [&] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        return std::exchange(painted, {});
    };
    const auto painting = [&] { // what Qt paints, without counting its paint
        const QImage image = picture();
        painted.clear();
        return image;
    };
    settle();
    presented = painting();

    state.setSprite(CatSprite::walk1);
    EXPECT_TRUE(settle().isEmpty());
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(presented, painting());
    state.setFacingRight(false);
    EXPECT_TRUE(settle().isEmpty());
    ASSERT_EQ(keys.size(), 2);
    EXPECT_NE(keys[0], keys[1]);
    EXPECT_EQ(presented, painting());
    state.setSquash(0.9); // a picture that will not repeat: shown, not kept
    EXPECT_TRUE(settle().isEmpty());
    ASSERT_EQ(keys.size(), 3);
    EXPECT_TRUE(keys[2].isEmpty());
    EXPECT_EQ(presented, painting());
    state.setSwaying(true); // a swing comes back to its poses: kept
    state.setTilt(4);
    EXPECT_TRUE(settle().isEmpty());
    ASSERT_EQ(keys.size(), 4);
    EXPECT_FALSE(keys[3].isEmpty());
    EXPECT_EQ(presented, painting());
    state.setSwaying(false);
    state.setTilt(0);
    state.setSquash(1);
    settle();
    EXPECT_EQ(presented, painting());
    keys.clear();

    state.setCaption(QStringLiteral("24:59"));
    // Painted whole through Qt: once, or twice on a slow run where a second update lands
    // before the first paint.
    const QList<QRect> captioned = settle();
    EXPECT_FALSE(captioned.isEmpty());
    EXPECT_LE(captioned.size(), 2);
    for (const QRect& r : captioned)
        EXPECT_EQ(r, view.rect());
    EXPECT_TRUE(keys.isEmpty());
    presented = painting(); // Qt painted the caption
    state.setCaption(std::nullopt);
    EXPECT_TRUE(settle().isEmpty());
    EXPECT_EQ(keys.size(), 1);
    EXPECT_EQ(presented, painting()); // the caption's place is cleared too

    // Asleep, the z's rise with the clock: the picture is presented, never kept, and so is
    // each step of the z's, with nothing painted through Qt.
    ASSERT_TRUE(waitFor([&] { return !view.transitioning(); })); // the caption's fade
    settle();
    presented = painting();
    double now = 1000;
    view.clock = [&now] { return now; };
    keys.clear();
    state.setSleeping(true);
    EXPECT_TRUE(settle().isEmpty());
    ASSERT_EQ(keys.size(), 1);
    EXPECT_TRUE(keys[0].isEmpty());
    EXPECT_EQ(presented, painting());
    const QImage earlier = presented;
    now += 0.7;
    ASSERT_TRUE(waitFor([&] { return keys.size() > 1; }));
    EXPECT_TRUE(keys.last().isEmpty());
    EXPECT_TRUE(painted.isEmpty());
    EXPECT_NE(presented, earlier); // the z's moved
    EXPECT_EQ(presented, painting());
    state.setSleeping(false);
    settle();
    EXPECT_EQ(presented, painting()); // and their place is cleared as they go

    accept = false;
    state.setSprite(CatSprite::sit);
    EXPECT_EQ(settle(), QList<QRect>{view.rect()});
    state.setFacingRight(true);
    const QList<QRect> partial = settle();
    ASSERT_EQ(partial.size(), 1);
    EXPECT_NE(partial[0], view.rect());
}

// The engine writes a frame field by field; the picture goes out once, as the frame ends,
// without a trip through the event loop. Writes outside a frame wait for the loop.
TEST_F(CatViewTest, AFrameIsPresentedOnceWhenItEnds) {
    QList<CatSprite> shown;
    view.present = [&](const QList<int>&, const std::function<void(QPainter&)>&, const QRect&) {
        shown << state.sprite();
        return true;
    };
    QCoreApplication::processEvents();
    shown.clear();

    state.beginFrame();
    state.setSprite(CatSprite::walk1);
    state.setFacingRight(false);
    state.setCatOffset(3);
    EXPECT_TRUE(shown.isEmpty()); // half-written
    state.endFrame();
    EXPECT_EQ(shown, QList<CatSprite>{CatSprite::walk1});
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.size(), 1);

    state.beginFrame(); // a frame that changes nothing shows nothing
    state.setSprite(CatSprite::walk1);
    state.endFrame();
    EXPECT_EQ(shown.size(), 1);

    state.setFacingRight(true); // a press or a timer, between frames
    EXPECT_EQ(shown.size(), 1);
    state.beginFrame(); // a frame before the loop came round settles it at its end
    state.setSprite(CatSprite::sit);
    state.endFrame();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, (QList<CatSprite>{CatSprite::walk1, CatSprite::sit}));

    state.setSprite(CatSprite::walk1);
    EXPECT_EQ(shown.size(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.size(), 3);
}

TEST_F(CatViewTest, StreamsAnimateOnlyWhileHeartsOrSleepShow) {
    EXPECT_FALSE(view.streaming());
    state.setHearts(true);
    EXPECT_TRUE(view.streaming());
    state.setSleeping(true);
    state.setHearts(false);
    EXPECT_TRUE(view.streaming());
    state.setSleeping(false);
    EXPECT_FALSE(view.streaming());
}

TEST_F(CatViewTest, SleepingCatShowsWhiteLettersAboveItsHead) {
    const QImage awake = picture();
    state.setSleeping(true);
    const QImage asleep = picture();
    int white = 0;
    for (int y = 0; y < 104; ++y)
        for (int x = 0; x < 130; ++x) {
            const QColor c = asleep.pixelColor(x, y);
            if (c.alpha() > 50 && c.red() > 180 && c.green() > 180 && c.blue() > 180) ++white;
            EXPECT_EQ(awake.pixelColor(x, y).alpha(), 0);
        }
    EXPECT_GT(white, 5);
}

TEST(Floating, GlyphsFadeInRiseAndFadeOutOnStaggeredCycles) {
    const Floating z = Floating::sleep();
    const double cycle = 1 / z.speed;
    EXPECT_DOUBLE_EQ(z.glyph(0, 0).opacity, 0);                   // born invisible
    EXPECT_NEAR(z.glyph(0, 0.2 * cycle).opacity, 0.8, 1e-9);      // fully faded in at a fifth
    EXPECT_NEAR(z.glyph(0, 0.999 * cycle).opacity, 0, 0.01);      // gone at the end
    EXPECT_NEAR(z.glyph(0, 0.999 * cycle).offset.y(), -36, 0.01); // risen all the way
    EXPECT_DOUBLE_EQ(z.glyph(0, 0).fontSize, 10);
    EXPECT_NEAR(z.glyph(0, 0.999 * cycle).fontSize, 15, 0.01);
    // The second copy runs a third of a cycle ahead of the first.
    EXPECT_NEAR(z.glyph(1, 0).offset.y(), z.glyph(0, cycle / 3).offset.y(), 1e-9);
    EXPECT_NEAR(z.glyph(1, 0).opacity, z.glyph(0, cycle / 3).opacity, 1e-9);
    // Drift carries the z sideways; hearts rise straight up but for the sway.
    EXPECT_GT(z.glyph(0, 0.75 * cycle).offset.x(), 18 * 0.9 - 8);
    const Floating hearts = Floating::hearts();
    for (double t : {0.0, 0.7, 1.9})
        EXPECT_LE(std::abs(hearts.glyph(2, t).offset.x()), hearts.sway + 1e-9);
}

TEST_F(CatViewTest, AClickOnTheCatTapsButADragOrAMissDoesNot) {
    int taps = 0;
    view.onTapCat = [&] { ++taps; };
    click({50, 130}, {50, 130});
    EXPECT_EQ(taps, 1);
    click({50, 130}, {53, 132});
    EXPECT_EQ(taps, 2);
    click({50, 130}, {70, 130}); // dragged away: a carry, not a tap
    EXPECT_EQ(taps, 2);
    click({5, 5}, {5, 5}); // clear panel
    EXPECT_EQ(taps, 2);
}

} // namespace
