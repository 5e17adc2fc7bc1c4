#pragma once

// A cat on a fake desktop with a hand-driven clock.

#include "cat/CatOverlay.h"
#include "fakes/CatOverlayProbe.h"
#include "fakes/Fakes.h"
#include "fakes/LogCapture.h"
#include "fakes/OpaqueSprites.h"
#include "platform/StoredDate.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// What an entered cat starts with besides its panel.
struct CatEntry {
    bool bed = false;
    bool frameClock = false;
};

class CatTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Builds the overlay; with a panel factory unless told otherwise. withBed adds a bed panel
    // factory whose panel is 96 x 48 points, as the empty bed's image.
    CatOverlay& make(bool withPanel = true, bool frameClock = false, bool withBed = false);
    // The cat most tests start from: built with its panel, walked in, sitting idle on the floor
    // at x with every timer far away.
    void enterSitting(double atX, CatEntry entry = {}) {
        make(true, entry.frameClock, entry.bed);
        cat->enter(false);
        probe().settle(atX);
    }
    Activity::Kind kind() const { return cat->snapshot().activity.kind(); }
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
