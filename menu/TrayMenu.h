#pragma once

#include "menu/MenuModels.h"

#include <QObject>
#include <functional>
#include <memory>

class MenuWindow;
class Pomodoro;
class TrayEntry;

// The tray entry and the menu window it opens.
class TrayMenu : public QObject {
    Q_OBJECT
  public:
    explicit TrayMenu(MenuModels models, QObject* parent = nullptr);
    ~TrayMenu() override;

    // Opens the window under the tray icon, or near the pointer when the tray gives no place
    // (a second start of the app, a desktop with no tray).
    void open();
    void openAt(const QRect& anchor);

    // Makes the tray entry anew, which then picks the tray there is now (a StatusNotifierItem
    // host that came after the start); its hooks are the caller's to set again.
    void renewTray();

    MenuWindow& window() { return *window_; }
    TrayEntry& tray() { return *tray_; }

  private:
    void makeTray();

    std::unique_ptr<MenuWindow> window_;
    Pomodoro& pomodoro_;
    std::function<void()> quit_;
    std::unique_ptr<TrayEntry> tray_;
};
