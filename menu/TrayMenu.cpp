#include "menu/TrayMenu.h"

#include "menu/MenuWindow.h"
#include "menu/TrayEntry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

TrayMenu::TrayMenu(MenuModels models, QObject* parent)
    : QObject(parent), window_(std::make_unique<MenuWindow>(models)), pomodoro_(models.pomodoro),
      quit_(models.quit) {
    makeTray();
}

void TrayMenu::makeTray() {
    tray_.reset();
    tray_ = std::make_unique<TrayEntry>(
        pomodoro_,
        [this](const QRect& anchor) {
            // The press that closed the open window was on the icon: it only closes.
            if (window_->justClosedBy(tray_->iconGeometry())) return;
            // A host's bar is no X11 window, so a click on it leaves ours open: the icon
            // toggles it.
            if (tray_->notifierItem() && window_->isVisible()) {
                window_->close();
                return;
            }
            openAt(anchor);
        },
        [quit = quit_] {
            if (quit) quit();
        });
    tray_->openFromMenu = [this] { open(); };
}

void TrayMenu::renewTray() {
    makeTray();
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::open() {
    const QRect icon = tray_->iconGeometry();
    openAt(icon.isEmpty() ? QRect(tray_->pointerNow(), QSize(1, 1)) : icon);
}

void TrayMenu::openAt(const QRect& anchor) {
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    window_->openAt(anchor, screen ? screen->availableGeometry() : QRect());
}
