#include "CatHarness.h"
#include "cat/Ticker.h"

#include <QSet>
#include <cmath>

namespace {

using K = Activity::Kind;

// The frame clock run by hand on the fake clock: every frame advances the clock by the
// interval the ticker scheduled and fires it, as its timer would.
class FrameClockTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(900, {.frameClock = true});
        ticker = probe().ticker();
        ASSERT_NE(ticker, nullptr);
    }
    void frame() {
        clock.advance(ticker->interval() / 1000.0);
        ticker->fire();
        ++frames;
    }
    // Frames until the activity is no longer `k`, for at most `limit` seconds.
    void runWhile(K k, double limit) {
        const double end = now() + limit;
        while (kind() == k && now() < end)
            frame();
    }
    // Rests now, then lets `seconds` of the rest pass with no frame.
    void intoRest(double seconds) {
        frame();
        ASSERT_TRUE(ticker->resting());
        ASSERT_GT(ticker->interval() / 1000.0, seconds);
        clock.advance(seconds);
    }
    // The next frame comes within one frame interval of the last event.
    void expectAwake() {
        EXPECT_FALSE(ticker->resting());
        EXPECT_LE(ticker->interval(), ticker->frameInterval());
    }
    double frameSeconds() const { return ticker->frameInterval() / 1000.0; }

    Ticker* ticker = nullptr;
    int frames = 0;
};

TEST_F(FrameClockTest, ASittingCatRestsUntilItsWanderIsDueAndMovesWithinAFrame) {
    const double due = now() + 2.5;
    probe().nextWander() = due;
    frame();
    EXPECT_TRUE(ticker->resting());
    frames = 0;
    runWhile(K::idle, 5);
    ASSERT_EQ(kind(), K::walking);
    EXPECT_GE(now(), due);
    EXPECT_LE(now() - due, frameSeconds());
    // Two and a half seconds of sitting took a frame per second poll, not 150.
    EXPECT_LE(frames, 4);
    // The walk sleeps between its pictures: every frame shows the next one.
    for (int i = 0; i < 10 && kind() == K::walking; ++i) {
        const CatSprite shown = cat->state.sprite();
        frame();
        EXPECT_NE(cat->state.sprite(), shown);
    }
}

// A walk on the floor, there and back: its panel moves only when the gait's picture changes,
// to where the walk was at that picture's moment, and the clock sleeps between the pictures.
// An event in between moves nothing. Each walk arrives when a smooth one would, its panel on
// the target.
TEST_F(FrameClockTest, AFloorWalkMovesItsPanelWithItsPictures) {
    FakePanel* const catPanel = panel;
    ASSERT_NE(catPanel, nullptr);
    const CatOverlay::Gait& gait = CatOverlay::plainWalk;
    const auto panelX = [&] { return catPanel->rect.x + catPanel->rect.width / 2; };
    const auto walkTo = [&](double to) {
        const double from = cat->snapshot().x;
        ASSERT_DOUBLE_EQ(panelX(), from);
        const double d = to > from ? 1 : -1;
        const double started = now(); // the last frame's moment, so the walk's first step is whole
        probe().stepPhase() = 0;      // picture k comes k / fps after the start
        probe().start(Activity::walking(to, Arrival::rest()), started);
        EXPECT_EQ(cat->state.facingRight(), d > 0) << "the first picture faces the other way";
        const double due = started + std::abs(to - from) / gait.speed;
        double lastX = panelX();
        for (int i = 0; kind() == K::walking && now() < due + 1; ++i) {
            const CatSprite shown = cat->state.sprite();
            const int moves = catPanel->moves;
            if (i == 40) {
                input.onPointer(); // the pointer moves: a frame comes soon, mid-picture
                frame();
                EXPECT_EQ(cat->state.sprite(), shown);
                EXPECT_EQ(catPanel->moves, moves);
                EXPECT_TRUE(ticker->resting());
                continue;
            }
            frame();
            if (kind() != K::walking) break;
            EXPECT_NE(cat->state.sprite(), shown) << "a frame with no new picture, at " << i;
            const double picture = std::floor((now() - started) * gait.fps);
            EXPECT_LE(now() - (started + picture / gait.fps), frameSeconds() + 1e-6);
            EXPECT_NEAR(panelX(), from + d * gait.speed * picture / gait.fps, 1e-5) << i;
            // One move a picture; the first picture stands where the walk sets out.
            EXPECT_EQ(catPanel->moves, moves + (picture > 0 ? 1 : 0)) << i;
            lastX = panelX();
        }
        ASSERT_EQ(kind(), K::idle);
        EXPECT_GE(now(), due);
        EXPECT_LE(now() - due, frameSeconds() + 1e-6);
        EXPECT_DOUBLE_EQ(panelX(), to);
        EXPECT_LE(std::abs(to - lastX), gait.speed / gait.fps + 1e-9) << "a jump at the end";
    };
    frame();
    walkTo(1100);
    walkTo(860); // the turn: from where the first walk stopped
}

// Lying in its bed, the cat's clock sleeps between the frames of its clips and steps its breath
// ten times a second: no picture is ever missed or shown late, and its life there goes on.
TEST_F(FrameClockTest, ACatInItsBedRestsBetweenItsPictures) {
    defaults->setBoolean("catLivesInBed", true);
    make(true, true);
    cat->enter(false);
    ticker = probe().ticker();
    ASSERT_TRUE(cat->snapshot().lying);
    QSet<int> shownSprites;
    const double start = now();
    int bedFrames = 0, rests = 0;
    while (now() < start + 60) {
        frame();
        ASSERT_TRUE(cat->snapshot().lying);
        ++bedFrames;
        const double t = now();
        const CatSprite shown = cat->state.sprite();
        const double squash = cat->state.squash();
        shownSprites.insert(shown.index());
        // Until the next frame the engine would draw the same picture (its breath aside); the
        // clock wakes a few milliseconds past a picture's moment, on a whole millisecond.
        if (!ticker->resting()) continue; // the display rate, as before
        ++rests;
        const double next = t + ticker->interval() / 1000.0 - 0.004;
        for (double s = t + 1.0 / 240; s < next; s += 1.0 / 240) {
            probe().updateSprite(s);
            ASSERT_EQ(cat->state.sprite(), shown)
                << "a picture missed at " << s - start << " in a rest of " << ticker->interval()
                << " ms: " << shown.rawValue().toStdString() << " then "
                << cat->state.sprite().rawValue().toStdString() << ", "
                << cat->snapshot().activity.description().toStdString();
            EXPECT_NEAR(cat->state.squash(), squash, 0.004) << "the breath jumps";
        }
        probe().updateSprite(t);
    }
    EXPECT_GE(shownSprites.size(), 5) << "no clip played";
    EXPECT_GT(rests, bedFrames / 2);
    EXPECT_LT(bedFrames, 60 * 25) << "the display rate is 60 frames a second";
}

// Devices and keys that report their news let a sitting cat sleep past the once-a-second system
// poll; the news itself wakes the clock and is read at once. Typing keeps the poll, which finds
// its end.
TEST_F(FrameClockTest, SystemNewsWakesAClockThatNoLongerPollsEverySecond) {
    devices.notifies = input.notifies = true;
    probe().postponeTimers();
    const SystemSignals& sig = probe().systemSignals();
    frame();
    ASSERT_GT(ticker->interval(), 1'500);

    // The first key of a spell of typing wakes the clock; while typing it polls every second.
    clock.advance(1);
    input.key = 0;
    input.onKey();
    expectAwake();
    frame();
    EXPECT_TRUE(sig.typingSince());
    EXPECT_LE(ticker->interval(), 1'010);
    input.key = 3;
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_FALSE(sig.typingSince());
    EXPECT_GT(ticker->interval(), 1'500);

    // The camera goes on: read at once, and a call after its three seconds, at the display
    // rate while it settles.
    clock.advance(1);
    devices.camera = true;
    devices.onChange();
    expectAwake();
    const double on = now();
    while (!sig.inCall() && now() - on < 5)
        frame();
    EXPECT_LE(now() - on, 3 + 2 * frameSeconds());
}

TEST_F(FrameClockTest, ALetterWakesARestingClock) {
    intoRest(0.4);
    cat->deliver(Letter{});
    expectAwake();
    frame();
    EXPECT_EQ(kind(), K::walking); // off to fetch it
}

TEST_F(FrameClockTest, AWindowChangeWakesARestingClock) {
    const Rect top{600, 40, 600, 400};
    showWindows({window(7, top)});
    probe().platform() = Platform::on(DesktopWindow{7, top});
    probe().feetY() = top.maxY();
    intoRest(0.4);
    EXPECT_EQ(kind(), K::idle);
    windowList.set({}); // the window under the cat closes
    expectAwake();
    frame();
    EXPECT_EQ(kind(), K::falling);
}

TEST_F(FrameClockTest, AWindowChangeRightAfterARead) {
    // Two changes a few milliseconds apart (a compositor's list, then its settled layout): the
    // second wakes the clock too soon to read the list again, and must not wait out a rest.
    intoRest(0.4);
    windowList.set({window(7, Rect{100, 40, 300, 300})});
    frame();
    ASSERT_EQ(cat->polledWindows().size(), 1u);
    windowList.set({window(7, Rect{100, 40, 300, 300}), window(8, Rect{500, 40, 300, 300})});
    expectAwake();
    const double changed = now();
    frame();
    while (cat->polledWindows().size() != 2 && now() - changed < 2)
        frame();
    EXPECT_EQ(cat->polledWindows().size(), 2u);
    EXPECT_LE(now() - changed, CatOverlay::windowPollSeconds + frameSeconds());
}

TEST_F(FrameClockTest, APressWakesARestingClockAndThePickUpShowsAtOnce) {
    const QPointF paw(900, cat->floorY() + 30);
    intoRest(0.4);
    cat->onGrabBed(paw);
    expectAwake();
    frame();
    intoRest(0.1);
    ASSERT_TRUE(cat->pickUp(paw));
    expectAwake();
    frame();
    ASSERT_TRUE(cat->snapshot().panelFrame);
    EXPECT_EQ(cat->snapshot().panelFrame->width, 200); // the held cat's wider panel
}

// An open letter is a still picture: the clock rests under it and the "Done" press (which
// starts the cat's next activity) brings the frames back at once. The eaten bubble rests too,
// and closes on its date.
TEST_F(FrameClockTest, AnOpenLetterAndTheEatenBubbleRestTheClock) {
    carryLetter();
    frame();
    cat->tapCat();
    frame();
    ASSERT_EQ(kind(), K::reading);
    intoRest(0.4);
    cat->markRead();
    expectAwake();
    EXPECT_EQ(kind(), K::idle);

    // The fake trash answers at once: the bubble comes with the drop, for eight seconds.
    ASSERT_TRUE(cat->feed({QUrl::fromLocalFile(QStringLiteral("/home/u/notes.txt"))}));
    const double closes = cat->fileFeeder().bubbleClosesAt().value_or(0);
    runWhile(K::eating, 3);
    ASSERT_EQ(kind(), K::idle);
    // Happy after the meal for a second; then the clock rests under the bubble.
    for (int i = 0; i < 200 && !ticker->resting(); ++i)
        frame();
    ASSERT_TRUE(ticker->resting());
    frames = 0;
    while (cat->state.eaten() && now() < closes + 2)
        frame();
    EXPECT_FALSE(cat->state.eaten());
    EXPECT_LE(now() - closes, frameSeconds());
    EXPECT_LT(frames, 20) << "a frame a second while the bubble stands";
}

TEST_F(FrameClockTest, StillOnlyInTheListedStates) {
    frame();
    EXPECT_GT(cat->restFor(now()), 0);
    // Something on screen that animates, or something on the cat's mind, keeps frames coming.
    cat->tapCat(); // the happy face
    EXPECT_EQ(cat->restFor(now()), 0);
    clock.advance(1.3); // the happy face is over
    EXPECT_GT(cat->restFor(now()), 0);
    cat->setPomodoro(false, now() + 300);
    EXPECT_EQ(cat->restFor(now()), 0);
    cat->setPomodoro(false, std::nullopt);
    for (const Activity& a : {Activity::snacking(), Activity::yawning(AfterYawn::idle)}) {
        probe().start(a, now());
        EXPECT_EQ(cat->restFor(now()), 0) << a.description().toStdString();
    }
}

// Asleep on the floor it only breathes: ten steps a second, and the first input wakes it at
// once with a yawn.
TEST_F(FrameClockTest, ASleepingCatBreathesInTenthsAndWakesAtOnce) {
    probe().start(Activity::sleeping(), now());
    input.any = 200;
    frames = 0;
    const double start = now();
    while (now() - start < 10 && kind() == K::sleeping)
        frame();
    ASSERT_EQ(kind(), K::sleeping);
    EXPECT_LE(frames, 10 * 10 + 12);
    EXPECT_GE(frames, 10 * 9);
    EXPECT_TRUE(cat->state.sleeping());
    input.any = 0;
    input.mouse = 0;
    input.onPointer();
    expectAwake();
    frame();
    EXPECT_EQ(kind(), K::yawning);
}

// Like the X11 panel, whose mover reports the end of a run of moves as it goes, and the
// desktop then tells the window list: the panel's end reaches the window list's callback.
class ReportingPanel final : public Panel {
  public:
    explicit ReportingPanel(FakeWindowList& windows) : windows_(windows) {}
    ~ReportingPanel() override { windows_.set({}); }
    Rect frame() const override { return rect_; }
    void setFrame(const Rect& f) override { rect_ = f; }
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool isVisible() const override { return visible_; }

  private:
    FakeWindowList& windows_;
    Rect rect_;
    bool visible_ = false;
};

// Taken down while walking with both panels up: nothing reaches the half-taken-down engine
// (the sanitizer build sees any use of what it has freed), and the system holds no callback
// into it afterwards.
TEST_F(CatTest, TakenDownWhileWalkingLeavesNoWayIn) {
    const auto reporting = [this](CatOverlay&) -> std::unique_ptr<Panel> {
        return std::make_unique<ReportingPanel>(windowList);
    };
    CatServices services{screens, windowList, pointer,   input,     devices,  trash,
                         clock,   random,     *defaults, reporting, reporting};
    cat = std::make_unique<CatOverlay>(services);
    cat->enter(false);
    ASSERT_TRUE(probe().hasFrameClock());
    tickAfter(0.1);
    ASSERT_EQ(cat->snapshot().activity.kind(), K::walking);
    ASSERT_TRUE(windowList.onChange && input.onPointer && devices.asleep);

    cat.reset();
    EXPECT_FALSE(windowList.onChange);
    EXPECT_FALSE(input.onPointer);
    devices.asleep(); // the sleep watch may still fire: it reaches nothing
    devices.awake();
    windowList.set({});
}

} // namespace
