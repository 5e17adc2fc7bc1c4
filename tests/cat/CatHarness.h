#pragma once

// A cat on a fake desktop with a hand-driven clock.

#include "cat/CatOverlay.h"
#include "fakes/Fakes.h"
#include "fakes/OpaqueSprites.h"
#include "platform/StoredDate.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Reaches the overlay's private state so tests can set up a situation directly.
class CatOverlayProbe {
  public:
    explicit CatOverlayProbe(CatOverlay& o) : o(o) {}
    double& x() { return o.x; }
    double& feetY() { return o.feetY; }
    Platform& platform() { return o.platform; }
    Activity& activity() { return o.activity; }
    double& activityStart() { return o.activityStart; }
    double& stepPhase() { return o.stepPhase; }
    double& blinkUntil() { return o.blinkUntil; }
    double& nextBlink() { return o.nextBlink; }
    double& nextWander() { return o.nextWander; }
    double& nextSnack() { return o.nextSnack; }
    double& nextYawn() { return o.nextYawn; }
    bool hasFrameClock() const { return o.frameClock != nullptr; }
    Ticker* ticker() { return o.frameClock.get(); }
    SystemSignals& systemSignals() { return o.systemSignals_; }
    bool huntIfPrey() { return o.huntIfPrey(o.now()); }
    // The engine's own steps, for a test that starts from one exact moment.
    void start(const Activity& a, double t) { o.start(a, t); }
    void decide(double t) { o.decide(t); }
    void arrive(const Arrival& arrival, double t) { o.arrive(arrival, t); }
    void updateSprite(double t) { o.updateSprite(t); }
    void layout() { o.layout(); }
    // Puts the cat idle on the floor at x with every timer far away.
    void settle(double atX) {
        const double t = o.now();
        o.x = atX;
        o.feetY = o.floorY();
        o.platform = Platform::floor();
        o.activity = Activity::idle();
        o.activityStart = t;
        o.nextWander = o.nextSnack = o.nextYawn = t + 1e6;
        o.climbing_.climbAt(t + 1e6);
        o.hunting_.huntAt(t + 1e6);
        o.nextBlink = t + 1e6;
    }

  private:
    CatOverlay& o;
};

// Collects the lines the shared logger writes while alive.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    QStringList lines;
};

class CatTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Builds the overlay; with a panel factory unless told otherwise. withBed adds a bed panel
    // factory whose panel is 96 x 48 points, as the empty bed's image.
    CatOverlay& make(bool withPanel = true, bool frameClock = false, bool withBed = false);
    void tickAfter(double seconds) {
        clock.advance(seconds);
        cat->tick();
    }
    void at(int hour, int minute, int second = 0) {
        clock.set(QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second)));
    }
    double now() const { return cat->now(); }
    CatOverlayProbe probe() { return CatOverlayProbe(*cat); }
    static WindowInfo window(quint32 id, Rect frame) {
        WindowInfo w;
        w.id = id;
        w.frame = frame;
        return w;
    }
    // The camera goes on (or off) and has stayed so long enough for the cat to count it.
    void setCall(bool on) {
        devices.camera = on;
        SystemSignals& s = probe().systemSignals();
        s.poll(now() - 5);
        s.poll(now());
    }
    // Delivers a letter and has the cat fetch it at once: it sits idle where it was, the letter
    // in its mouth, with every timer far away.
    void carryLetter(const Letter& letter = {}) {
        const double atX = cat->snapshot().x;
        cat->deliver(letter);
        probe().arrive(Arrival::fetch(), now());
        cat->tick(); // back from the errand
        probe().settle(atX);
    }
    // Focus starts; answers the activities the cat went through until it lay in its bed (at
    // most a minute), each named once in a row. `eachFrame` runs after every tick.
    QStringList focusUntilInBed(const std::function<void()>& eachFrame = {}) {
        cat->setPomodoro(true, std::nullopt);
        QStringList kinds;
        for (int i = 0; i < 3000 && !cat->snapshot().lying; ++i) {
            tickAfter(0.02);
            const QString kind = cat->snapshot().activity.description().section('(', 0, 0);
            if (kinds.isEmpty() || kinds.last() != kind) kinds.append(kind);
            if (eachFrame) eachFrame();
        }
        return kinds;
    }
    // Polls now, as the next tick would.
    void showWindows(std::vector<WindowInfo> list);
    // Starts the cat again (with no bed panel) lying in its bed, as a cat that lives there
    // starts.
    void restartInBed();
    // The user drops the cat into its bed (the bed's panel must stand): it lies there and lives
    // there from now on.
    void dropIntoBed();
    // Just after the cat got into bed: its first pick is a phone spell of `seconds` (20 … 60).
    // Returns once the phone is in its paw.
    void takeUpThePhone(double seconds = 40);

    FakeClock clock;
    FakeRandom random;
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle input;
    FakeDevices devices;
    FakeTrash trash;
    TempSettingsStore defaults;
    FakePanel* panel = nullptr;
    FakePanel* bed = nullptr;
    std::unique_ptr<CatOverlay> cat;
    static constexpr qint64 ownPid = 4242;
};
