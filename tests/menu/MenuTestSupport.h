#pragma once

#include "app/SubScreens.h"
#include "fakes/Fakes.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "menu/MenuModels.h"
#include "platform/LoginItem.h"
#include "reminders/Reminders.h"
#include "system/LaunchAtLogin.h"

#include <memory>
#include <optional>

// A login item that keeps its state in memory; `enableTo` is what enabling leads to.
class FakeLoginItem final : public LoginItem {
  public:
    Status state = Status::notRegistered;
    Status enableTo = Status::enabled;
    QString failure; // answered by the next enable or disable
    int opened = 0;

    Status status() const override { return state; }
    QString enable() override {
        if (!failure.isEmpty()) return std::exchange(failure, {});
        state = enableTo;
        return {};
    }
    QString disable() override {
        if (!failure.isEmpty()) return std::exchange(failure, {});
        if (state == Status::notRegistered) return QStringLiteral("no autostart entry");
        state = Status::notRegistered;
        return {};
    }
    void openSettings() override { ++opened; }
};

// Every model the menu reads, over a temporary store and a hand-driven clock.
struct MenuFixture {
    FakeClock clock;
    TempSettingsStore defaults;
    FakeLoginItem loginItem;
    FocusLog log{*defaults, clock};
    Reminders reminders{*defaults, clock};
    Pomodoro pomodoro{*defaults, clock, log};
    std::unique_ptr<LaunchAtLogin> launchAtLogin;
    int quits = 0;
    int relaunches = 0;
    bool relaunchWorks = true;
    bool selfUpdate = true;

    MenuFixture() {
        defaults->setBoolean(LaunchAtLogin::configuredKey, true); // not a first start
        launchAtLogin = std::make_unique<LaunchAtLogin>(loginItem, *defaults);
    }
    MenuModels models() {
        return MenuModels{pomodoro,
                          log,
                          reminders,
                          *launchAtLogin,
                          clock,
                          *defaults,
                          QImage(),
                          [this] { ++quits; },
                          [this] {
                              ++relaunches;
                              return relaunchWorks;
                          },
                          selfUpdate,
                          subScreens(log, reminders, clock)};
    }
};
