#pragma once

#include "menu/MenuModels.h"

#include <QObject>
#include <memory>

class MenuWindow;
class TrayEntry;

// The tray entry and the menu window it opens.
class MenuBarExtra : public QObject {
    Q_OBJECT
  public:
    explicit MenuBarExtra(MenuModels models, QObject* parent = nullptr);
    ~MenuBarExtra() override;

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
