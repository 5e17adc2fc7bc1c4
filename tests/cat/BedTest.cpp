#include "CatHarness.h"
#include "frames/BedClip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <random>

using K = Activity::Kind;
using Clip = CatSprite::BedClip;

namespace {

int clip(const char* name) {
    return Clip::bedClip(QString::fromLatin1(name));
}

// Screen 0: full 1920 x 1080, visible 0 … 1920 x 40 … 1050. The bed is 96 x 48 points.
class BedTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(300, {.bed = true});
    }
    QPointF bedSpot() { return cat->snapshot().bedSpot; }
    const BedLife& life() { return cat->bedLife(); }
    // Moves the empty bed the way the user drags its panel.
    void dragEmptyBedTo(QPointF spot) {
        bed->rect = Rect{spot.x() - 48, spot.y() - 4, 96, 48};
        cat->bedPanelMoved();
    }
    std::optional<int> playing() {
        const Activity& a = probe().activity();
        if (!a.is(K::inBed)) return std::nullopt;
        return a.as<activity::InBed>()->clip;
    }
    // Frames of 20 ms (the fake clock counts whole milliseconds).
    void tickFor(double seconds) {
        for (long i = std::lround(seconds / 0.02); i > 0; --i)
            tickAfter(0.02);
    }
};

TEST_F(BedTest, BedStandsInTheCornerClampsToTheScreenAndRemembersADrag) {
    EXPECT_EQ(bedSpot(), QPointF(1852, 52));
    EXPECT_EQ(bed->rect, (Rect{1804, 48, 96, 48}));
    EXPECT_TRUE(bed->visible);

    // Left and right keep the whole bed on the visible area; the top keeps 146 points free;
    // the bottom is the floor of the visible area, never over a panel below it.
    EXPECT_EQ(cat->bedPlace().clamped({-100, 500}), QPointF(48, 500));
    EXPECT_EQ(cat->bedPlace().clamped({5000, 500}), QPointF(1872, 500));
    EXPECT_EQ(cat->bedPlace().clamped({500, 2000}), QPointF(500, 904));
    EXPECT_EQ(cat->bedPlace().clamped({500, 60}), QPointF(500, 60));
    EXPECT_EQ(cat->bedPlace().clamped({500, 20}), QPointF(500, 52));
    EXPECT_EQ(cat->bedPlace().clamped({500, -50}), QPointF(500, 52));
    EXPECT_EQ(cat->bedPlace().clamped({qQNaN(), qQNaN()}), QPointF(1872, 52));

    // The user drags the empty bed over the top-left corner, above a tall window there (so a
    // jump from its top reaches it), and lets go.
    showWindows({window(1, {0, 40, 300, 860})});
    bed->rect = Rect{-200, 2000, 96, 48};
    cat->bedPanelMoved();
    EXPECT_EQ(bedSpot(), QPointF(48, 904));
    EXPECT_EQ(bed->rect, (Rect{0, 900, 96, 48}));
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{48, 904}));

    // After a restart the bed stands where it was left.
    cat.reset();
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(bedSpot(), QPointF(48, 904));
}

TEST_F(BedTest, ABadSavedSpotIsLoggedOnceAndTheCornerUsed) {
    for (const QJsonValue& saved : {QJsonValue(QStringLiteral("x")), QJsonValue(QJsonArray{5}),
                                    QJsonValue(QJsonArray{QStringLiteral("1"), 2})}) {
        QDir().mkpath(QFileInfo(defaults->settingsPath()).path());
        QFile file(defaults->settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(QJsonObject{{"bedSpot", saved}}).toJson());
        file.close();
        auto store = defaults.reopened();
        LogCapture log;
        CatServices services{screens, windowList, pointer, input, devices, trash,
                             clock,   random,     *store,  {},    {}};
        services.makeBedPanel = [](CatOverlay&) {
            auto p = std::make_unique<FakePanel>();
            p->rect = Rect{0, 0, 96, 48};
            return p;
        };
        services.frameClock = false;
        CatOverlay other(services);
        other.enter(false);
        EXPECT_EQ(other.snapshot().bedSpot, QPointF(1852, 52));
        EXPECT_EQ(log.messages().filter("bed spot").size(), 1)
            << log.messages().join('\n').toStdString();
    }

    // A spot off every screen is pulled back onto screen 0.
    defaults->setRealList("bedSpot", {-5000, 9000});
    cat.reset();
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(bedSpot(), QPointF(48, 904));
}

TEST_F(BedTest, AScreenChangeMovesTheBedAndTheCatInIt) {
    dropIntoBed();
    EXPECT_FALSE(bed->visible);
    screens.full = Rect{0, 0, 1280, 720};
    screens.visible = Rect{0, 30, 1280, 690};
    cat->screenParametersChanged();
    // On the floor it was on: on the new floor, 12 above the visible bottom.
    EXPECT_EQ(bedSpot(), QPointF(1232, 42));
    EXPECT_EQ(cat->snapshot().x, 1232);
    EXPECT_EQ(cat->snapshot().feetY, 54);
    EXPECT_EQ(bed->rect.x, 1184);
    // The user never put it there: nothing is saved for them.
    EXPECT_FALSE(defaults.reopened()->realList("bedSpot"));

    // Only the height changes: the spot reads the same, yet the panel is set again for the
    // window system to put it on the new floor.
    const int moves = bed->moves;
    screens.full = Rect{0, 0, 1280, 1024};
    screens.visible = Rect{0, 30, 1280, 994};
    cat->screenParametersChanged();
    EXPECT_EQ(bedSpot(), QPointF(1232, 42));
    EXPECT_GT(bed->moves, moves);

    // Dragging the bed with the cat in it: only the lowest 36 points of the picture grab it.
    EXPECT_FALSE(cat->onGrabBed(QPointF(1232, 54 - 16 + 36)));
    ASSERT_TRUE(cat->onGrabBed(QPointF(1240, 54 - 16 + 35)));
    EXPECT_EQ(cat->bedPlace().grabbedAt(), QPointF(8, 31));
    cat->onMoveBed(QPointF(608, 531));
    EXPECT_EQ(bedSpot(), QPointF(600, 500));
    EXPECT_EQ(cat->snapshot().x, 600);
    EXPECT_EQ(cat->snapshot().feetY, 512);
    cat->placeBed();
    EXPECT_EQ(cat->bedPlace().grabbedAt(), std::nullopt);
    EXPECT_EQ(defaults.reopened()->realList("bedSpot")->at(0), 600);
}

// A bottom panel that comes and goes after the start, a click on the bed, and the next start.
TEST_F(BedTest, TheBedStaysOnTheFloorAsPanelsComeAndGoAndAClickSavesNothing) {
    ASSERT_EQ(bedSpot(), QPointF(1852, 52));
    // A panel 37 points high appears at the bottom: the bed goes up with the floor.
    screens.visible = Rect{0, 77, 1920, 973};
    cat->screenParametersChanged();
    EXPECT_EQ(bedSpot(), QPointF(1852, 89));
    EXPECT_EQ(bed->rect, (Rect{1804, 85, 96, 48}));

    // A click on the empty bed (the press and release 3 points apart) moves and saves nothing.
    bed->rect = Rect{1807, 85, 96, 48};
    cat->bedPanelMoved();
    EXPECT_EQ(bed->rect, (Rect{1804, 85, 96, 48}));
    EXPECT_FALSE(defaults.reopened()->realList("bedSpot"));

    // The panel goes: the bed steps down with the floor.
    screens.visible = Rect{0, 40, 1920, 1010};
    cat->screenParametersChanged();
    EXPECT_EQ(bedSpot(), QPointF(1852, 52));

    // The cat in bed: a press on the bed that moves 4 points is a click, 5 points a drag.
    dropIntoBed();
    ASSERT_TRUE(cat->onGrabBed(QPointF(1852, 52)));
    cat->onMoveBed(QPointF(1852 - 4, 52));
    EXPECT_EQ(bedSpot(), QPointF(1852, 52));
    cat->placeBed();
    EXPECT_FALSE(defaults.reopened()->realList("bedSpot"));
    ASSERT_TRUE(cat->onGrabBed(QPointF(1852, 52)));
    cat->onMoveBed(QPointF(1852 - 5, 52));
    EXPECT_EQ(bedSpot(), QPointF(1847, 52));
    EXPECT_EQ(cat->snapshot().x, 1847);
    cat->placeBed();
    // Saved on the floor of the whole screen: a start with a panel at the bottom lifts it onto
    // that floor, one without puts it on the screen's.
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{1847, 12}));
    // A panel appears while the cat lies in its bed: bed and cat go up together.
    screens.visible = Rect{0, 77, 1920, 973};
    cat->screenParametersChanged();
    EXPECT_EQ(bedSpot(), QPointF(1847, 89));
    EXPECT_EQ(cat->snapshot().x, 1847);
    EXPECT_EQ(cat->snapshot().feetY, 101);
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{1847, 12}));
    cat.reset();
    screens.visible = Rect{0, 40, 1920, 1010};
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(bedSpot(), QPointF(1847, 52));

    // A spot saved on a desktop with a bigger visible frame is shown inside today's, and the
    // saved one stays as the user left it.
    cat.reset();
    defaults->setRealList("bedSpot", {700, 1040});
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(bedSpot(), QPointF(700, 904));
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{700, 1040}));
}

TEST_F(BedTest, AFallWithin40PointsOfTheBedEndsInIt) {
    for (const double side : {39.0, 40.0}) {
        // Picked up (out of the bed after the first round) and let fall beside it.
        ASSERT_TRUE(cat->pickUp(QPointF(1852 - side, 400)));
        EXPECT_EQ(cat->snapshot().bedFrame, (Rect{1804, 48, 96, 48}))
            << "the empty bed shows while the cat is held";
        probe().x() = 1852 - side;
        probe().feetY() = 400;
        probe().start(Activity::falling(0), now());
        tickFor(1.5);
        const bool caught = side < 40;
        EXPECT_EQ(cat->snapshot().lying, caught) << side;
        EXPECT_EQ(life().livesInBed(), caught) << side;
        EXPECT_EQ(defaults.reopened()->boolean("catLivesInBed"), caught) << side;
        EXPECT_EQ(cat->snapshot().feetY, caught ? 64 : 52) << side;
        EXPECT_EQ(cat->snapshot().x, caught ? 1852 : 1852 - side) << side;
    }
}

TEST_F(BedTest, TheCatWalksBesideTheBedJumpsInAndDozesThroughACall) {
    dragEmptyBedTo(QPointF(60, 52));
    EXPECT_EQ(cat->bedPlace().approachX(20), 30); // 55 to the left, but 30 from the edge
    dragEmptyBedTo(QPointF(1852, 52));
    EXPECT_EQ(cat->bedPlace().approachX(1700), 1797);

    devices.camera = true;
    setCall(true);
    probe().decide(now());
    EXPECT_TRUE(life().callNap());
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Walking>()->to, 1797);
    for (int i = 0; i < 3000 && !cat->snapshot().lying; ++i)
        tickAfter(0.02);
    ASSERT_TRUE(cat->snapshot().lying);
    tickFor(0.1);
    EXPECT_EQ(cat->snapshot().x, 1852);
    EXPECT_EQ(cat->snapshot().feetY, 64);
    EXPECT_FALSE(bed->visible);
    EXPECT_EQ(cat->snapshot().bedFrame, std::nullopt);
    EXPECT_EQ(playing(), clip("bed_doze")); // open-ended while the call lasts

    // Calming the cat ends a nap of its own, not the call's.
    cat->postponeAll(3600);
    tickFor(20);
    EXPECT_EQ(playing(), clip("bed_doze"));
    EXPECT_TRUE(cat->snapshot().lying);

    // The call ends: the loop pass finishes, the outro plays, and the cat jumps out towards
    // the middle of the screen and lands on the floor.
    devices.camera = false;
    tickFor(4);
    EXPECT_TRUE(cat->systemSignals().inCall()) << "5 s without camera and microphone end a call";
    tickFor(5.5);
    EXPECT_FALSE(cat->systemSignals().inCall());
    EXPECT_FALSE(cat->snapshot().lying);
    EXPECT_TRUE(bed->visible);
    tickFor(2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->snapshot().x, 1792);
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(BedTest, FocusStopsTheLaptopAfterItsPassAndOutro) {
    const int laptop = clip("bed_laptop"); // intro 51 ticks, body 24, outro 45
    for (const bool lives : {false, true}) {
        if (lives) {
            dropIntoBed();
            cat->setPomodoro(true, std::nullopt);
        } else {
            // Focus sends the cat to bed for as long as it lasts.
            cat->setPomodoro(true, std::nullopt);
            for (int i = 0; i < 3000 && !cat->snapshot().lying; ++i)
                tickAfter(0.02);
            ASSERT_TRUE(cat->snapshot().lying);
            EXPECT_TRUE(life().callNap());
        }
        EXPECT_EQ(life().livesInBed(), lives);
        tickAfter(0.01);
        ASSERT_EQ(playing(), laptop);
        EXPECT_EQ(cat->bedClipPlayer().repeats(), std::nullopt);
        tickFor(4.98); // f = 119: the third pass is under way
        cat->setPomodoro(false, std::nullopt);
        tickAfter(0.02);
        EXPECT_EQ(cat->bedClipPlayer().repeats(), 3);
        // The third pass ends at tick 123, the outro at 168 (7 s).
        tickFor(1.96);
        EXPECT_EQ(playing(), laptop);
        tickFor(0.1);
        if (!lives) {
            EXPECT_EQ(kind(), K::jumping) << "the focus nap is over";
            EXPECT_FALSE(cat->snapshot().lying);
        } else {
            EXPECT_EQ(kind(), K::inBed);
            EXPECT_EQ(playing(), std::nullopt);
            EXPECT_NEAR(life().nextClip(), now() + 5.5, 0.3); // lies still 3 … 8 s
            EXPECT_TRUE(cat->snapshot().lying);
        }
    }
}

TEST_F(BedTest, AClipEndingWithThePhoneLeavesItInPaw) {
    const int doze = clip("bed_doze"); // intro 50, body 36 × 8, outro 34
    dropIntoBed();
    // The first pick of the plain clips is the doze, eight passes long.
    probe().nextBlink() = now() + 1e6;
    random.fractions = {0.35};
    for (int i = 0; i < 500 && !playing(); ++i)
        tickAfter(0.02);
    ASSERT_EQ(playing(), doze);
    EXPECT_EQ(cat->bedClipPlayer().repeats(), 8);

    // A clip that ends with the phone in paw leaves the cat holding it. Once the doze is
    // over, a spell with the phone.
    for (int i = 0; i < 2000 && playing(); ++i)
        tickAfter(0.02);
    ASSERT_EQ(playing(), std::nullopt);
    random.fractions = {0.95, 0.25};
    for (int i = 0; i < 1000 && playing() != clip("bed_phone_in"); ++i)
        tickAfter(0.02);
    ASSERT_EQ(playing(), clip("bed_phone_in"));
    ASSERT_TRUE(life().phoneUntil());
    EXPECT_DOUBLE_EQ(*life().phoneUntil(), now() + 30);
    EXPECT_EQ(life().hold(), CatSprite::Hold::nothing);
    tickFor(120 / 24.0 / 1.4 + 0.1);
    EXPECT_EQ(life().hold(), CatSprite::Hold::phone);
    EXPECT_EQ(playing().has_value(), true) << "a phone loop follows while the phone is wanted";
}

TEST_F(BedTest, APhoneSpellLoopsWithReactionsAndPutsThePhoneAway) {
    dropIntoBed();
    probe().nextBlink() = now() + 1e6;
    random.fractions = {0.95, 0.25}; // the phone, for 30 s
    for (int i = 0; i < 500 && !playing(); ++i)
        tickAfter(0.02);
    ASSERT_EQ(playing(), clip("bed_phone_in"));
    const double spellEnds = now() + 30;
    EXPECT_EQ(cat->bedClipPlayer().lastPhoneLoop(), std::nullopt);
    tickFor(4);
    EXPECT_EQ(life().hold(), CatSprite::Hold::phone);
    ASSERT_TRUE(playing());
    EXPECT_FALSE(Clip::bedClips()[std::size_t(*playing())].reaction) << "first a plain loop";

    // The spell ends: the loop under way plays out, then the phone goes away at 1.4 times the
    // speed.
    for (int i = 0; i < 3000 && playing() != clip("bed_phone_out"); ++i)
        tickAfter(0.02);
    ASSERT_EQ(playing(), clip("bed_phone_out"));
    EXPECT_GE(now(), spellEnds);
    tickFor(120 / 24.0 / 1.4);
    EXPECT_EQ(life().hold(), CatSprite::Hold::nothing);
    EXPECT_EQ(playing(), std::nullopt);
}

TEST_F(BedTest, CalmingTheCatEndsANapOfItsOwn) {
    // Now and then a wander is a nap in bed instead: here one of 120 s.
    random.fractions = {0.5, 0.1, 0.5};
    cat->makeDue(CatOverlay::Due::wander);
    tickAfter(0.02);
    ASSERT_EQ(kind(), K::walking);
    ASSERT_TRUE(life().napUntil());
    EXPECT_NEAR(*life().napUntil(), now() + 120, 0.05);
    EXPECT_FALSE(life().callNap());
    for (int i = 0; i < 3000 && !cat->snapshot().lying; ++i)
        tickAfter(0.02);
    ASSERT_TRUE(cat->snapshot().lying);
    EXPECT_FALSE(life().wantsUp(now(), cat->bedSituation()));
    tickFor(1);
    EXPECT_TRUE(cat->snapshot().lying);

    cat->postponeAll(3600);
    EXPECT_TRUE(life().wantsUp(now(), cat->bedSituation()));
    for (int i = 0; i < 1000 && cat->snapshot().lying; ++i)
        tickAfter(0.02);
    EXPECT_FALSE(cat->snapshot().lying);
    EXPECT_EQ(life().napUntil(), std::nullopt);
}

TEST_F(BedTest, WhyTheCatStaysOrGetsUp) {
    dropIntoBed();
    const auto belongs = [&] { return life().belongsInBed(now(), cat->bedSituation()); };
    const auto wantsUp = [&] { return life().wantsUp(now(), cat->bedSituation()); };
    const auto wantsPhone = [&] { return life().wantsPhone(now(), cat->bedSituation()); };
    const auto mood = [&] { return life().moodClip(now(), cat->bedSituation()); };
    EXPECT_TRUE(life().livesInBed());
    EXPECT_TRUE(belongs());
    EXPECT_FALSE(wantsUp());

    // Letters to fetch get even a cat that lives in bed up.
    cat->deliver(Letter{});
    EXPECT_TRUE(wantsUp());
    tickAfter(0.02);
    tickAfter(0.02);
    EXPECT_EQ(kind(), K::jumping);
    EXPECT_FALSE(cat->snapshot().lying);

    // A break before its bed time keeps the cat out; from the bed time on it belongs in bed
    // with its phone, and a call or focus takes the phone away.
    probe().arrive(Arrival::fetch(), now());
    tickAfter(0.02);
    ASSERT_TRUE(cat->snapshot().carrying) << "the letter is in its mouth now";
    cat->setPomodoro(false, now() + 30);
    probe().arrive(Arrival::announce(), now()); // bed in 10 s
    EXPECT_FALSE(belongs()) << "lives in bed, but the break comes first";
    clock.advance(11);
    EXPECT_TRUE(belongs());
    EXPECT_TRUE(wantsPhone());
    EXPECT_EQ(mood(), std::nullopt);
    setCall(true);
    EXPECT_FALSE(wantsPhone());
    EXPECT_EQ(mood(), clip("bed_doze"));
    cat->setPomodoro(true, std::nullopt);
    EXPECT_EQ(mood(), clip("bed_laptop"));
}

} // namespace
