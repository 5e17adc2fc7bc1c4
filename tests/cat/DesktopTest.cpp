#include "CatHarness.h"

#include <cmath>

namespace {

class DesktopTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        make(false);
        probe().settle(900);
    }
    DesktopWindow find(quint32 id) {
        for (const DesktopWindow& w : cat->polledWindows())
            if (w.id == id) return w;
        ADD_FAILURE() << "window " << id << " not polled";
        return {};
    }
    std::vector<std::pair<double, double>> top(quint32 id) {
        std::vector<std::pair<double, double>> out;
        for (const Span& s : cat->visibleTop(find(id)))
            out.emplace_back(s.lower, s.upper);
        return out;
    }
    using Pieces = std::vector<std::pair<double, double>>;
};

// A window list whose reads are counted.
class CountingWindowList final : public WindowList {
  public:
    std::vector<WindowInfo> windows() override {
        ++reads;
        return list;
    }
    quint64 generation() const override { return gen; }
    std::vector<WindowInfo> list;
    quint64 gen = 1;
    int reads = 0;
};

TEST_F(DesktopTest, KeepsOnlyOrdinaryVisibleForeignWindowsFrontMostFirst) {
    auto own = window(1, {100, 100, 400, 300});
    own.pid = ownPid;
    auto panelLayer = window(2, {100, 100, 400, 300});
    panelLayer.layer = 3;
    auto halfClear = window(3, {100, 100, 400, 300});
    halfClear.alpha = 0.5;
    auto justOpaque = window(4, {100, 100, 400, 300});
    justOpaque.alpha = 0.51;
    justOpaque.pid = 77;
    auto noId = window(0, {100, 100, 400, 300});
    auto broken = window(6, {NAN, 100, 400, 300});
    auto outside = window(7, {2000, 100, 400, 300}); // right of the screen
    auto underDock = window(8, {100, 0, 400, 40});   // below the visible frame, touching it
    auto hidden = window(9, {100, 100, 400, 300});
    hidden.onScreen = false;
    auto back = window(10, {300, 200, 400, 300});
    showWindows(
        {own, panelLayer, halfClear, justOpaque, noId, broken, outside, underDock, hidden, back});

    ASSERT_EQ(cat->polledWindows().size(), 2u);
    EXPECT_EQ(cat->polledWindows()[0], (DesktopWindow{4, {100, 100, 400, 300}}));
    EXPECT_EQ(cat->polledWindows()[1].id, 10u);
    EXPECT_EQ(cat->desktopWindows(), cat->polledWindows());

    screens.present = false;
    cat->screenParametersChanged();
    EXPECT_TRUE(cat->desktopWindows().empty());
}

TEST_F(DesktopTest, WindowListIsReadOnlyWhenItMayHaveChanged) {
    CountingWindowList counting;
    counting.list = {window(5, {100, 100, 400, 300})};
    CatServices services{screens, counting, pointer,   input, devices, trash,
                         clock,   random,   *defaults, {},    {}};
    services.frameClock = false;
    CatOverlay overlay(services);
    overlay.tick();
    EXPECT_EQ(counting.reads, 1);

    clock.advance(0.03); // within the poll interval
    overlay.tick();
    clock.advance(0.1); // polled, but nothing changed
    overlay.tick();
    EXPECT_EQ(counting.reads, 1);

    counting.gen = 2;
    clock.advance(0.06);
    overlay.tick();
    EXPECT_EQ(counting.reads, 2);

    // A new work area re-filters the same list: the window now lies outside it.
    screens.visible = Rect{1000, 40, 920, 1010};
    overlay.screenParametersChanged();
    clock.advance(0.06);
    overlay.tick();
    EXPECT_GE(counting.reads, 3);
    EXPECT_TRUE(overlay.desktopWindows().empty());
}

TEST_F(DesktopTest, FrontWindowsCutTheTopIntoPieces) {
    // 2 is the back window, top at y 500; 1 covers the middle of the strip just above it.
    showWindows({window(1, {400, 300, 200, 204}), window(2, {-100, 200, 1000, 300})});
    // Partly off the left edge: the piece starts at the visible frame.
    EXPECT_EQ(top(2), (Pieces{{0, 400}, {600, 900}}));

    // 59.9 points are dropped, 60 kept.
    showWindows({window(1, {59.9, 300, 840.1, 204}), window(2, {0, 200, 1000, 300})});
    EXPECT_EQ(top(2), (Pieces{{900, 1000}}));
    showWindows({window(1, {60, 300, 840, 204}), window(2, {0, 200, 1000, 300})});
    EXPECT_EQ(top(2), (Pieces{{0, 60}, {900, 1000}}));

    // A bottom exactly 4 points above the top still covers it; 4.1 points does not.
    showWindows({window(1, {-50, 504, 2000, 100}), window(2, {0, 200, 1000, 300})});
    EXPECT_TRUE(top(2).empty());
    showWindows({window(1, {-50, 504.1, 2000, 100}), window(2, {0, 200, 1000, 300})});
    EXPECT_EQ(top(2), (Pieces{{0, 1000}}));

    // A window behind never cuts, and the polled frame counts, not the carried one.
    showWindows({window(2, {0, 200, 1000, 300}), window(1, {400, 300, 200, 400})});
    EXPECT_EQ(cat->visibleTop(DesktopWindow{2, {5000, 0, 10, 10}}).size(), 1);
    EXPECT_TRUE(cat->visibleTop(DesktopWindow{99, {0, 200, 1000, 300}}).isEmpty());
}

TEST_F(DesktopTest, SpanAndStandingSpotFollowThePieces) {
    showWindows({window(1, {400, 300, 200, 204}), window(2, {0, 200, 1000, 300})});
    const DesktopWindow back = find(2);
    EXPECT_EQ(cat->visibleSpan(back, 399), (Span{0, 400}));
    EXPECT_EQ(cat->visibleSpan(back, 600), (Span{600, 1000}));
    EXPECT_FALSE(cat->visibleSpan(back, 500));

    EXPECT_EQ(cat->standingSpot(back, 300.0), 300.0);  // inside: stays
    EXPECT_EQ(cat->standingSpot(back, 1500.0), 980.0); // right of every piece: hi − 20
    EXPECT_EQ(cat->standingSpot(back, -300.0), 20.0);  // left of every piece: lo + 20
    EXPECT_EQ(cat->standingSpot(back, 500.0), 380.0);  // equally far: the earlier piece
    EXPECT_EQ(cat->standingSpot(back, 510.0), 620.0);
    probe().x() = 700;
    EXPECT_EQ(cat->standingSpot(back, std::nullopt), 700.0); // near the cat by default
    EXPECT_FALSE(cat->standingSpot(DesktopWindow{42, {}}, 10.0));
}

TEST_F(DesktopTest, ScreenPositions) {
    EXPECT_EQ(cat->floorY(), 52);
    EXPECT_EQ(cat->offscreenX(true), -130);
    EXPECT_EQ(cat->offscreenX(false), 2050);
    random.fractions = {0.0, 1.0};
    EXPECT_DOUBLE_EQ(cat->entrySpot(true), 1920 * 0.12);
    EXPECT_DOUBLE_EQ(cat->entrySpot(false), 1920 - 1920 * 0.30);

    probe().x() = 48; // the canvas touches the left edge
    EXPECT_TRUE(cat->catOnScreen());
    probe().x() = 47.9;
    EXPECT_FALSE(cat->catOnScreen());
    probe().x() = 1872;
    EXPECT_TRUE(cat->catOnScreen());

    screens.present = false;
    cat->screenParametersChanged();
    EXPECT_EQ(cat->screenFrame(), Rect{});
    EXPECT_EQ(cat->floorY(), 12);
}

TEST_F(DesktopTest, RandomSpotOnTheFloorKeepsAwayFromTheCat) {
    // Allowed [288, 1632]; the cat at 500 leaves [288, 380] (92) and [620, 1632] (1012).
    probe().x() = 500;
    random.fractions = {0.0, 91.0 / 1104, 92.0 / 1104, 1.0};
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 288);
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 379);
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 620);
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 1632);

    // Near the left end only the right side is left.
    probe().x() = 300;
    random.fractions = {0.0};
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 420);
}

TEST_F(DesktopTest, RandomSpotOnAWindow) {
    showWindows({window(1, {100, 200, 300, 300}), window(2, {1000, 200, 600, 300})});
    // A 300-point span with the cat in its middle: nowhere far enough, the cat stays.
    probe().platform() = Platform::on(find(1));
    probe().x() = 250;
    EXPECT_FALSE(cat->randomSpot());
    // At one end of a longer span only the other direction remains: [1040, 1560] minus 1160.
    probe().platform() = Platform::on(find(2));
    probe().x() = 1040;
    random.fractions = {0.0, 1.0};
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 1160);
    EXPECT_DOUBLE_EQ(*cat->randomSpot(), 1560);
    // 80 points or less of span: none.
    showWindows({window(2, {1000, 200, 80, 300})});
    probe().x() = 1040;
    EXPECT_FALSE(cat->randomSpot());
    // Off the window's visible top: none.
    probe().x() = 5;
    EXPECT_FALSE(cat->randomSpot());
}

} // namespace
