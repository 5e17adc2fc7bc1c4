#pragma once

#include "base/LogBudget.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

class Pomodoro;
class QAction;
class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;

// The paw in the panel's tray. While a timer runs the icon shows the whole minutes left
// (redrawn when that number changes) and the tooltip the countdown (once a second). A click
// asks for the menu window under the icon, or at the pointer when the tray gives no place; a
// right-click offers Open Purrlox, Start focus (or Stop with the time left) and Quit.
// Where a StatusNotifierItem watcher is on the session bus at start (sway, KDE, GNOME with
// AppIndicator) the paw is our own item there, whose host says where it was clicked: the
// window opens there. Its right-click menu is the same three entries, exported as a dbusmenu;
// a host that shows no menus (swaybar) opens the window on a right-click too. Elsewhere the
// paw is Qt's XEmbed icon.
class TrayEntry : public QObject {
    Q_OBJECT
  public:
    TrayEntry(Pomodoro& pomodoro, std::function<void(const QRect& anchor)> open,
              std::function<void()> quit, QObject* parent = nullptr);
    ~TrayEntry() override;

    // Whether a tray shows the icon now (it may come and go with the panel).
    bool shown() const;
    // Where the icon is on screen; empty when the tray does not say.
    QRect iconGeometry() const;
    std::optional<int> shownMinutes() const { return minutes_; }
    QString toolTip() const;
    int iconRedraws() const { return redraws_; }
    QMenu& contextMenu() const { return *menu_; }

    // Where the pointer is (Qt's global coordinates) when the desktop knows it better than
    // XWayland, whose pointer stands still while it is over a Wayland panel; unset or nullopt:
    // QCursor. For a tray that gives no geometry: the window opens at the click.
    std::function<std::optional<QPoint>()> pointer;
    QPoint pointerNow() const;
    // A tray host's click (the compositor's logical pixels under XWayland) in Qt's global
    // coordinates; unset: they are the same (an X11 session).
    std::function<QPoint(QPoint)> hostPoint;
    // Whether the paw is our own StatusNotifierItem rather than Qt's XEmbed icon.
    bool notifierItem() const { return item_ != nullptr; }
    // Opens the window from the item's menu (which, unlike a click on the paw, never closes
    // it); unset: as a click on the paw.
    std::function<void()> openFromMenu;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void squareSlot();
    void showCountdown();
    void setIcon(std::optional<int> minutes);
    void setToolTip(const QString& tip);
    void openHere();
    void openByHost(QPoint host);
    // The item's menu: the entries for the timer now; a countdown that only ticked is sent
    // only while a host shows the menu (hosts read it fresh before they show it).
    void showMenuEntries();
    void menuClicked(int id);

    Pomodoro& pomodoro_;
    std::function<void(const QRect&)> open_;
    std::function<void()> quit_;
    QSystemTrayIcon* tray_ = nullptr;    // Qt's icon (XEmbed), or
    StatusNotifierItem* item_ = nullptr; // our own StatusNotifierItem
    QString toolTip_;
    std::unique_ptr<QMenu> menu_;
    QAction* startStop_;
    std::optional<int> minutes_;
    bool iconSet_ = false;
    int redraws_ = 0;
    LogBudget offScreenLines_; // any bus peer can send such points
};
