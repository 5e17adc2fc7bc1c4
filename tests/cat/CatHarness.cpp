#include "CatHarness.h"

void CatTest::SetUp() {
    installOpaqueSprites();
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    screens.full = Rect{0, 0, 1920, 1080};
    screens.visible = Rect{0, 40, 1920, 1010};
}

CatOverlay& CatTest::make(bool withPanel, bool frameClock, bool withBed) {
    CatServices services{screens, windowList, pointer,   input, devices, trash,
                         clock,   random,     *defaults, {},    {}};
    if (withPanel) {
        services.makeCatPanel = [this](CatOverlay&) {
            auto p = std::make_unique<FakePanel>();
            panel = p.get();
            return p;
        };
    }
    if (withBed) {
        services.makeBedPanel = [this](CatOverlay&) {
            auto p = std::make_unique<FakePanel>();
            p->rect = Rect{0, 0, 96, 48};
            bed = p.get();
            return p;
        };
    }
    services.ownPid = ownPid;
    services.frameClock = frameClock;
    cat = std::make_unique<CatOverlay>(services);
    return *cat;
}

void CatTest::showWindows(std::vector<WindowInfo> list) {
    windowList.set(std::move(list));
    clock.advance(0.06);
    cat->tick();
}

void CatTest::restartInBed() {
    defaults->setBoolean("catLivesInBed", true);
    cat.reset();
    make();
    cat->enter(false);
    ASSERT_TRUE(cat->snapshot().lying);
}

void CatTest::dropIntoBed() {
    ASSERT_TRUE(cat->bedPlace().exists());
    const QPointF spot = cat->snapshot().bedSpot;
    ASSERT_TRUE(cat->pickUp(spot));
    // Held just over the bed; the release lands it there.
    probe().x() = spot.x();
    probe().feetY() = spot.y();
    cat->drop();
    ASSERT_TRUE(cat->snapshot().lying);
}

void CatTest::takeUpThePhone(double seconds) {
    ASSERT_TRUE(cat->snapshot().lying);
    // Nothing else draws from the random source meanwhile: the pick of the tenth choice (the
    // phone), then the spell's length.
    probe().nextBlink() = now() + 1e6;
    random.fractions = {0.95, (seconds - 20) / 40};
    for (int i = 0; i < 1000 && cat->bedLife().hold() != CatSprite::Hold::phone; ++i) {
        clock.advance(0.02);
        cat->tick();
    }
    ASSERT_EQ(cat->bedLife().hold(), CatSprite::Hold::phone);
    ASSERT_TRUE(random.fractions.empty());
}
