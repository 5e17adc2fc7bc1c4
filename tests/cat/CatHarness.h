#pragma once

// A cat on a fake desktop with a hand-driven clock.

#include "cat/CatOverlay.h"
#include "fakes/Fakes.h"
#include "fakes/OpaqueSprites.h"
#include "platform/StoredDate.h"

#include <QStringList>
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
    bool& carrying() { return o.carrying; }
    void queueLetter(Letter l = {}) { o.queue.push_back(std::move(l)); }
    std::size_t queued() const { return o.queue.size(); }
    const std::vector<Letter>& letters() const { return o.queue; }
    bool& breakNews() { return o.breakNews; }
    bool& focusing() { return o.focusing; }
    std::optional<double>& breakBedAt() { return o.breakBedAt; }
    std::optional<double>& breakUntil() { return o.breakUntil; }
    bool& lying() { return o.lying; }
    double& blinkUntil() { return o.blinkUntil; }
    double& nextBlink() { return o.nextBlink; }
    double& nextWander() { return o.nextWander; }
    double& nextSnack() { return o.nextSnack; }
    double& nextYawn() { return o.nextYawn; }
    QPointF& bedSpot() { return o.bedSpot; }
    std::optional<QPointF>& bedGrab() { return o.bedGrab; }
    CatSprite::Hold& bedHold() { return o.bedHold; }
    bool hasFrameClock() const { return o.frameClock != nullptr; }
    Ticker* ticker() { return o.frameClock.get(); }
    bool& livesInBed() { return o.livesInBed; }
    std::optional<double>& napUntil() { return o.napUntil; }
    bool& callNap() { return o.callNap; }
    SystemSignals& systemSignals() { return o.systemSignals_; }
    std::unique_ptr<Panel>& bedPanel() { return o.bedPanel; }
    double& nextBedClip() { return o.nextBedClip; }
    std::optional<double>& phoneUntil() { return o.phoneUntil; }
    bool wantsUp() { return o.wantsUp(o.now()); }
    bool belongsInBed() { return o.belongsInBed(o.now()); }
    bool wantsPhone() { return o.wantsPhone(o.now()); }
    std::optional<int> moodClip() { return o.moodClip(o.now()); }
    void getIntoBed() { o.getIntoBed(o.now()); }
    void goToBed() { o.goToBed(o.now()); }
    void leaveBed() { o.leaveBed(o.now()); }
    void playBedClip(int clip, bool open) { o.playBedClip(clip, open, o.now()); }
    double bedApproachX() { return o.bedApproachX(); }
    std::optional<DesktopWindow> bedWindow() { return o.bedWindow(); }
    QPointF clampedBedSpot(QPointF p) { return o.clampedBedSpot(p); }
    void keepBedOnScreen() { o.keepBedOnScreen(); }
    bool huntIfPrey() { return o.huntIfPrey(o.now()); }
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
    // Polls now, as the next tick would.
    void showWindows(std::vector<WindowInfo> list);

    FakeClock clock;
    FakeRandom random;
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle input;
    FakeDevices devices;
    FakeTrash trash;
    TempDefaults defaults;
    FakePanel* panel = nullptr;
    FakePanel* bed = nullptr;
    std::unique_ptr<CatOverlay> cat;
    static constexpr qint64 ownPid = 4242;
};
