#pragma once

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

// The paw in the panel's tray. While a timer runs the icon shows the whole minutes left
// (redrawn when that number changes) and the tooltip the countdown (once a second). A click
// asks for the menu window under the icon, or at the pointer when the tray gives no place; a
// right-click offers Open Purrlox, Start focus (or Stop with the time left) and Quit.
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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void squareSlot();
    void showCountdown();
    void setIcon(std::optional<int> minutes);
    void openHere();

    Pomodoro& pomodoro_;
    std::function<void(const QRect&)> open_;
    QSystemTrayIcon* tray_;
    std::unique_ptr<QMenu> menu_;
    QAction* startStop_;
    std::optional<int> minutes_;
    bool iconSet_ = false;
    int redraws_ = 0;
};
