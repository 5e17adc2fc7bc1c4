// The cat on a desktop of several monitors: floors joined at level seams, steps down and up,
// gaps, the letter walk's exit and the bed's monitor.

#include "CatHarness.h"

#include <cmath>

using K = Activity::Kind;
using Beyond = Desktop::Beyond;

namespace {

Monitor monitor(const char* name, Rect frame, Rect visible, bool primary = false) {
    return Monitor{QString::fromLatin1(name), frame, visible, 60, 1, primary};
}

// The primary: 1920 x 1080 with a 40-point panel at its bottom, its floor at 52.
const Monitor primary = monitor("A", {0, 0, 1920, 1080}, {0, 40, 1920, 1010}, true);

class MonitorsTest : public CatTest {
  protected:
    void use(std::vector<Monitor> layout) {
        screens.layout = std::move(layout);
        if (cat) cat->screenParametersChanged();
    }
    // Ticks until the cat stands idle or `seconds` pass; answers the activities it went through,
    // each named once in a row.
    QStringList runUntilIdle(double seconds) {
        QStringList kinds;
        for (int i = 0; i < int(seconds * 50); ++i) {
            tickAfter(0.02);
            const QString kind = cat->snapshot().activity.description().section('(', 0, 0);
            if (kinds.isEmpty() || kinds.last() != kind) kinds.append(kind);
            if (i > 0 && cat->snapshot().activity.is(K::idle)) break;
        }
        return kinds;
    }
    // The monitor that shows the cat standing where it is, by name.
    QString shownOn() {
        const Desktop& d = cat->desktop();
        const int m = d.monitorUnder(cat->snapshot().x, cat->snapshot().feetY);
        if (m < 0) return QStringLiteral("none");
        const Rect& v = d.monitors()[m].visibleFrame;
        const double x = cat->snapshot().x;
        if (x - 48 < v.minX() || x + 48 > v.maxX()) return QStringLiteral("edge");
        return d.monitors()[m].name;
    }
    void wanderNow() {
        probe().nextWander() = now();
        probe().decide(now());
    }
};

TEST_F(MonitorsTest, FloorsJoinAtLevelSeamsAndStepElsewhere) {
    make(false);
    // Level within a few points: one floor from 0 to 3200, open at both ends.
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 42, 1280, 982})});
    const Desktop& d = cat->desktop();
    EXPECT_EQ(d.floorRun(0), (Span{0, 3200}));
    EXPECT_EQ(d.floorRun(1), (Span{0, 3200}));
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::open);
    EXPECT_EQ(d.beyond(1, false).kind, Beyond::Kind::open);

    // A primary that is not the left-most, a level third one beyond it, and a gap.
    use({primary, monitor("L", {-1280, 0, 1280, 900}, {-1280, 40, 1280, 860}),
         monitor("R", {1920, 0, 1600, 900}, {1920, 40, 1600, 860}),
         monitor("far", {9000, 0, 800, 600}, {9000, 40, 800, 560})});
    EXPECT_EQ(d.floorRun(0), (Span{-1280, 3520}));
    EXPECT_EQ(d.floorRun(3), (Span{9000, 9800}));
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::open);

    // A second monitor whose bottom stands 60 points higher: a step up hopped, with no face;
    // 300 points higher: a face at the seam to climb; so high that the primary cannot show the
    // climb: a wall. Seen from the higher one, the primary is a step down.
    use({primary, monitor("B", {1920, 60, 1280, 900}, {1920, 60, 1280, 900})});
    EXPECT_EQ(d.floorRun(0), (Span{0, 1920}));
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::up);
    EXPECT_EQ(d.beyond(0, true).monitor, 1);
    EXPECT_EQ(d.beyond(1, false).kind, Beyond::Kind::down);
    EXPECT_EQ(d.stepFace(0, true), nullptr);
    use({primary, monitor("B", {1920, 300, 1280, 900}, {1920, 300, 1280, 900})});
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::up);
    const DesktopWindow* face = d.stepFace(0, true);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->frame.maxY(), 312);
    EXPECT_EQ(face->frame.minY(), 52);
    EXPECT_TRUE(face->frame.minX() < 1920 && 1920 < face->frame.maxX());
    EXPECT_EQ(d.find(face->id), face);
    EXPECT_EQ(d.acrossFace(face->id), 1920 + 60);
    EXPECT_EQ(d.stepFace(0, false), nullptr);
    use({primary, monitor("B", {1920, 900, 1280, 900}, {1920, 900, 1280, 900})});
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::wall);
    EXPECT_EQ(d.stepFace(0, true), nullptr);
    // A monitor lower down whose top does not reach the primary's floor shows no step: the
    // cat walking out there is out of sight.
    use({primary, monitor("B", {1920, -900, 1280, 900}, {1920, -900, 1280, 900})});
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::open);
    // A panel at the seam leaves a gap of its width: not walked over.
    use({primary, monitor("B", {1920, 0, 1280, 1080}, {1980, 40, 1220, 1010})});
    EXPECT_EQ(d.floorRun(0), (Span{0, 1920}));
    EXPECT_EQ(d.beyond(0, true).kind, Beyond::Kind::open);
}

TEST_F(MonitorsTest, WindowTopsAreClippedToWhatTheMonitorsShow) {
    make(false);
    // The second monitor is 900 high: of a top at 1000 only the primary's part is walkable.
    use({primary, monitor("B", {1920, 0, 1280, 900}, {1920, 40, 1280, 860})});
    showWindows({window(1, {1500, 700, 1200, 300}), window(2, {2000, 300, 600, 300})});
    DesktopWindow high, low;
    for (const DesktopWindow& w : cat->polledWindows())
        (w.id == 1 ? high : low) = w;
    ASSERT_EQ(cat->polledWindows().size(), 2u);
    const Pieces top = cat->visibleTop(high);
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0], (Span{1500, 1920}));
    // A window on the second monitor only is there to stand on.
    EXPECT_EQ(cat->visibleSpan(low, 2300), (Span{2000, 2600}));
}

TEST_F(MonitorsTest, AWanderCrossesALevelSeamByItself) {
    make(false);
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 42, 1280, 982})});
    probe().settle(1500);
    // The target is drawn over the whole floor: 480 … 2720 less the 240 points around the cat.
    random.fractions = {0.5, 0.99}; // the next wander's time, then the spot
    wanderNow();
    ASSERT_TRUE(cat->snapshot().activity.is(K::walking));
    runUntilIdle(60);
    EXPECT_GT(cat->snapshot().x, 2400);
    EXPECT_EQ(shownOn(), "B");
    EXPECT_EQ(cat->snapshot().feetY, 54); // the second one's floor, stepped onto at the seam
}

TEST_F(MonitorsTest, OffTheEndOntoALowerFloorAndUpOntoAHigherOne) {
    make(false);
    // B's floor is 40 points below the primary's.
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024})});
    probe().settle(1700);
    // The wander goes across (the next wander's time, a chance passed, B's middle).
    random.fractions = {0.5, 0.0, 0.5};
    wanderNow();
    const QStringList down = runUntilIdle(30);
    EXPECT_TRUE(down.contains("falling")) << down.join(' ').toStdString();
    EXPECT_EQ(shownOn(), "B");
    EXPECT_EQ(cat->snapshot().feetY, 12);
    EXPECT_TRUE(cat->snapshot().platform.isFloor());

    // From B the primary is a step up: it walks to the end and jumps.
    probe().settle(2400);
    random.fractions = {0.5, 0.0, 0.5};
    wanderNow();
    const QStringList up = runUntilIdle(30);
    EXPECT_TRUE(up.contains("jumping")) << up.join(' ').toStdString();
    EXPECT_EQ(shownOn(), "A");
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(MonitorsTest, UpAHighStepTheCatClimbsTheSeamInView) {
    make(false);
    // B's floor is 300 points above the primary's: a wander across climbs the face at the seam,
    // pulls over and steps onto B's floor, never out of sight on the way.
    use({primary, monitor("B", {1920, 300, 1280, 900}, {1920, 300, 1280, 900})});
    probe().settle(1500);
    random.fractions = {0.5, 0.0, 0.5};
    wanderNow();
    QStringList kinds;
    int unseen = 0;
    for (int i = 0; i < 60 * 50; ++i) {
        tickAfter(0.02);
        const auto s = cat->snapshot();
        const QString kind = s.activity.description().section('(', 0, 0);
        if (kinds.isEmpty() || kinds.last() != kind) kinds.append(kind);
        unseen += cat->desktop().monitorUnder(s.x, s.feetY) < 0;
        if (kinds.size() > 1 && s.activity.is(K::idle)) break;
    }
    EXPECT_TRUE(kinds.contains("climbingUp") && kinds.contains("pullingUp"))
        << kinds.join(' ').toStdString();
    EXPECT_EQ(shownOn(), "B") << kinds.join(' ').toStdString();
    EXPECT_EQ(cat->snapshot().feetY, 312);
    EXPECT_TRUE(cat->snapshot().platform.isFloor());
    EXPECT_EQ(unseen, 0);

    // A layout change under a climbing cat takes the face away: it lets go and lands in view.
    probe().settle(1500);
    random.fractions = {0.5, 0.0, 0.5};
    wanderNow();
    for (int i = 0; i < 60 * 50 && !cat->snapshot().activity.is(K::climbingUp); ++i)
        tickAfter(0.02);
    ASSERT_TRUE(cat->snapshot().activity.is(K::climbingUp));
    tickAfter(1.0);
    use({primary, monitor("B", {1920, 500, 1280, 900}, {1920, 500, 1280, 900})});
    const QStringList fall = runUntilIdle(10);
    EXPECT_TRUE(fall.contains("falling")) << fall.join(' ').toStdString();
    EXPECT_EQ(shownOn(), "A");
    EXPECT_EQ(cat->snapshot().feetY, 52);
}

TEST_F(MonitorsTest, AFallOverNoMonitorLandsOnTheNearestFloorInView) {
    make(false);
    // 200 points between the two; B's bottom stands 60 points higher (floor at 72).
    use({primary, monitor("B", {2120, 60, 1280, 900}, {2120, 60, 1280, 900})});
    probe().settle(500);
    probe().x() = 2100; // let go over the gap, nearer B
    probe().feetY() = 600;
    probe().platform() = Platform::floor();
    probe().start(Activity::falling(0), now());
    runUntilIdle(10);
    EXPECT_EQ(shownOn(), "B");
    EXPECT_EQ(cat->snapshot().feetY, 72);
}

TEST_F(MonitorsTest, TheLetterWalkLeavesByAnOuterEdge) {
    make(false);
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 42, 1280, 982})});
    // With B lower on the right, walking out there would fall in view: it leaves on the left.
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024})});
    probe().settle(1800);
    EXPECT_LT(cat->offscreenX(cat->exitLeft()), 0);
    use({primary, monitor("B", {1920, 0, 1280, 1024}, {1920, 42, 1280, 982})});
    probe().settle(2000);
    EXPECT_EQ(cat->offscreenX(cat->exitLeft()), 3200 + 130);
}

TEST_F(MonitorsTest, TheBedStaysOnItsMonitorAndWaitsForIt) {
    const Monitor b = monitor("B", {1920, 0, 1280, 900}, {1920, 30, 1280, 870});
    screens.layout = {primary, b};
    make(true, false, true);
    cat->enter(false);
    // Dragged onto B's floor and saved there.
    bed->rect = Rect{2500 - 48, 42 - 4, 96, 48};
    cat->bedPanelMoved();
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(2500, 42));
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{2500, 12}));

    // Restored there at the next start.
    cat.reset();
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(2500, 42));

    // B goes away: the bed stands in the primary's corner, the saved spot stays.
    use({primary});
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(1920 - 48 - 20, 52));
    EXPECT_EQ(defaults.reopened()->realList("bedSpot"), (QList<double>{2500, 12}));
    // Started without B it stands as near its spot as the primary allows; when B is back, so
    // is the bed.
    cat.reset();
    make(true, false, true);
    cat->enter(false);
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(1920 - 48, 52));
    use({primary, b});
    EXPECT_EQ(cat->snapshot().bedSpot, QPointF(2500, 42));
}

TEST_F(MonitorsTest, ToABedOnAHigherMonitorOverTheStep) {
    // B's floor is 40 points above the primary's; the bed stands on it.
    screens.layout = {primary, monitor("B", {1920, 80, 1280, 900}, {1920, 80, 1280, 900})};
    enterSitting(600, {.bed = true});
    bed->rect = Rect{2600 - 48, 92 - 4, 96, 48};
    cat->bedPanelMoved();
    ASSERT_EQ(cat->snapshot().bedSpot, QPointF(2600, 92));
    int unseen = 0;
    const QStringList kinds = focusUntilInBed([&] { unseen += shownOn() == "none"; });
    EXPECT_TRUE(cat->snapshot().lying) << kinds.join(' ').toStdString();
    EXPECT_EQ(kinds.filter("jumping").size(), 2) << kinds.join(' ').toStdString(); // up, in
    EXPECT_EQ(unseen, 0);
}

TEST_F(MonitorsTest, OddLayoutsKeepTheCatInView) {
    make(false);
    cat->enter(false);
    probe().settle(900);
    LogCapture log;
    // Mirrored, zero-sized and nine monitors at once; then flapping ten times a second.
    std::vector<Monitor> odd{primary, monitor("mirror", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}),
                             monitor("zero", {1920, 0, 0, 0}, {1920, 0, 0, 0})};
    for (int i = 0; i < 9; ++i)
        odd.push_back(
            monitor("row", {1920.0 + 800 * i, 0, 800, 600}, {1920.0 + 800 * i, 40, 800, 560}));
    use(odd);
    EXPECT_EQ(cat->desktop().monitors().size(), 8u);
    EXPECT_EQ(log.messages().filter("monitors used").size(), 1)
        << log.messages().join('\n').toStdString();
    probe().x() = 1920 + 800 * 6 + 400; // on the last monitor used
    for (int i = 0; i < 20; ++i) {
        use(i % 2 ? odd : std::vector<Monitor>{primary});
        tickAfter(0.1);
        EXPECT_NE(shownOn(), "none") << i;
    }
}

} // namespace
