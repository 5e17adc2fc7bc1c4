#pragma once

#include "cat/CatOverlay.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "platform/SettingsStore.h"
#include "reminders/Reminders.h"
#include "system/LaunchAtLogin.h"
#include "updates/Updates.h"

#include <QObject>
#include <QUrl>
#include <memory>

class Screens;

// The composition root: creates every long-lived model once, wires them, lets the cat in and
// takes over the links that arrived before it existed.
class AppModel final : public QObject {
    Q_OBJECT
  public:
    // makeUpdates makes the self-updater; none (the default) in builds without one.
    // store holds the settings the engine gets and the data files of the focus log and the
    // reminders.
    AppModel(SettingsStore& store, const CatServices& services, Updates::Make makeUpdates = {},
             QObject* parent = nullptr);
    // With the login item: the first start turns launch at login on.
    AppModel(SettingsStore& store, const CatServices& services, LoginItem& loginItem,
             Updates::Make makeUpdates = {}, QObject* parent = nullptr);
    // Cuts every callback into the cat, then takes the models down, the cat last.
    ~AppModel() override;

    // No purrlox:// link changes anything yet: each one is logged and dropped.
    void open(const QUrl& url);

    // Created in this order; they live until the process ends.
    std::unique_ptr<CatOverlay> cats;
    std::unique_ptr<LaunchAtLogin> launchAtLogin; // none without a login item
    std::unique_ptr<FocusLog> focusLog;
    std::unique_ptr<Reminders> reminders;
    // Keeps the folder install current; its letters go to the cat. None in builds without the
    // self-updater (distribution packages).
    std::unique_ptr<Updates> updater;
    std::unique_ptr<Pomodoro> pomodoro;

  private:
    AppModel(SettingsStore& store, const CatServices& services, LoginItem* loginItem,
             Updates::Make makeUpdates, QObject* parent);

    Screens& screens_;
};
