#pragma once

// Hand-driven stand-ins for the platform interfaces.

#include "platform/Clock.h"
#include "platform/Devices.h"
#include "platform/InputIdle.h"
#include "platform/Panel.h"
#include "platform/Pointer.h"
#include "platform/Random.h"
#include "platform/Screens.h"
#include "platform/SettingsStore.h"
#include "platform/Trash.h"
#include "platform/WindowList.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <memory>

class FakeClock final : public Clock {
  public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(10, 0)))
        : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    double monotonic() const override { return mono_; }
    double boottime() const override { return boot_; }
    // Every clock moves together, as while the machine is awake.
    void advance(double seconds) {
        now_ = now_.addMSecs(qint64(seconds * 1000.0));
        mono_ += seconds;
        boot_ += seconds;
    }
    // The machine slept: the wall clock and the boot clock move, the monotonic one stands.
    void sleep(double seconds) {
        now_ = now_.addMSecs(qint64(seconds * 1000.0));
        boot_ += seconds;
    }
    // Only the wall clock moves: the user or the network set the clock.
    void jumpWallClock(double seconds) { now_ = now_.addMSecs(qint64(seconds * 1000.0)); }
    void set(const QDateTime& t) { now_ = t; }

  private:
    QDateTime now_;
    double mono_ = 1000.0;
    double boot_ = 2000.0;
};

// Answers queued values in order, then the midpoint of each range.
class FakeRandom final : public Random {
  public:
    double uniform(double a, double b) override {
        if (!fractions.empty()) {
            const double f = fractions.front();
            fractions.pop_front();
            return a + (b - a) * f;
        }
        return (a + b) / 2;
    }
    int uniformInt(int a, int b) override { return int(uniform(a, b + 0.999)); }
    std::deque<double> fractions; // each in [0, 1]
};

class FakeScreens final : public Screens {
  public:
    bool hasScreen() const override { return present; }
    Rect frame() const override { return present ? full : Rect{}; }
    Rect visibleFrame() const override { return present ? visible : Rect{}; }
    double refreshRate() const override { return rate; }
    // Several monitors when set (the primary first); else the one primary above.
    std::vector<Monitor> monitors() const override {
        if (!present) return {};
        if (!layout.empty()) return layout;
        return Screens::monitors();
    }
    bool present = true;
    Rect full{0, 0, 1920, 1080};
    Rect visible{0, 0, 1920, 1050};
    double rate = 60;
    std::vector<Monitor> layout;
};

class FakeWindowList final : public WindowList {
  public:
    std::vector<WindowInfo> windows() override { return list; }
    quint64 generation() const override { return gen; }
    void set(std::vector<WindowInfo> l) {
        list = std::move(l);
        ++gen;
        if (onChange) onChange();
    }
    std::vector<WindowInfo> list;
    quint64 gen = 0;
};

class FakePointer final : public Pointer {
  public:
    QPointF location() const override { return at; }
    bool anyButtonPressed() const override { return pressed; }
    bool leftButtonPressed() const override { return pressed; }
    void warp(QPointF to) override {
        at = to;
        ++warps;
    }
    QPointF at;
    bool pressed = false;
    int warps = 0;
};

class FakeInputIdle final : public InputIdle {
  public:
    double secondsSinceAnyInput() const override { return any; }
    double secondsSinceKeyDown() const override { return key; }
    double secondsSinceMouseMoved() const override { return mouse; }
    bool notifiesKeys() const override { return notifies; }
    double any = 0, key = 1e9, mouse = 0;
    bool notifies = false; // calls onKey (the test does, on its key presses)
};

class FakeDevices final : public Devices {
  public:
    bool cameraInUse() override { return camera; }
    std::vector<AudioProcess> audioProcesses() override { return processes; }
    bool microphoneInUse() override {
        ++microphoneAsked;
        return microphone;
    }
    bool musicPlaying() override { return music; }
    void watchSleep(std::function<void()> a, std::function<void()> w) override {
        asleep = std::move(a);
        awake = std::move(w);
    }
    bool notifiesChanges() const override { return notifies; }
    bool camera = false, microphone = false, music = false;
    bool notifies = false; // calls onChange (the test does, on its changes)
    int microphoneAsked = 0;
    std::vector<AudioProcess> processes;
    std::function<void()> asleep, awake; // what the cat subscribed
};

// Runs on the cat's file thread: set its knobs before a drop, read it once the drop is answered.
class FakeTrash final : public Trash {
  public:
    std::optional<TrashedItem> moveToTrash(const QString& path, QString& error) override {
        if (beforeMove) beforeMove(path);
        if (failing || locked.contains(path)) {
            error = QStringLiteral("Permission denied");
            return std::nullopt;
        }
        const QString trashed = QStringLiteral("/trash/") + path.section(QLatin1Char('/'), -1);
        trashed_[trashed] = path;
        return TrashedItem{trashed, 1, ++inodes_};
    }
    bool putBack(const TrashedItem& item, const QString& originalPath, QString& error) override {
        auto it = trashed_.find(item.path);
        if (failing || it == trashed_.end() || it->second != originalPath) {
            error = QStringLiteral("No such file or directory");
            return false;
        }
        trashed_.erase(it);
        return true;
    }
    bool holds(const QString& trashedPath) const { return trashed_.count(trashedPath) > 0; }
    bool failing = false;
    QStringList locked;                                  // paths that cannot be moved
    std::function<void(const QString& path)> beforeMove; // e.g. a slow disk

  private:
    std::map<QString, QString> trashed_;
    quint64 inodes_ = 0;
};

class FakePanel final : public Panel {
  public:
    Rect frame() const override { return rect; }
    void setFrame(const Rect& f) override {
        rect = f;
        ++moves;
    }
    void show() override { visible = true; }
    void hide() override { visible = false; }
    bool isVisible() const override { return visible; }
    Rect rect;
    bool visible = false;
    int moves = 0;
};

// A settings store in a fresh temporary folder.
struct TempSettingsStore {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store{
        std::make_unique<SettingsStore>(dir.path() + "/config", dir.path() + "/data")};
    SettingsStore& operator*() { return *store; }
    SettingsStore* operator->() { return store.get(); }
    // A second store over the same files, as after a restart.
    std::unique_ptr<SettingsStore> reopened() const {
        return std::make_unique<SettingsStore>(dir.path() + "/config", dir.path() + "/data");
    }
};
