#pragma once

#include "menu/MenuModels.h"

#include <QObject>
#include <memory>

class MenuWindow;
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

    MenuWindow& window() { return *window_; }
    TrayEntry& tray() { return *tray_; }

  private:
    std::unique_ptr<MenuWindow> window_;
    std::unique_ptr<TrayEntry> tray_;
};
