#pragma once

#include "platform/InputIdle.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <optional>

class QDBusMessage;

// Idle time on GNOME from Mutter's idle monitor, which counts every input, native Wayland
// windows' included. Nothing polls: one watch fires after a second without input, a one-shot
// watch when input comes again; between them the time is counted here. Key presses alone are
// not told by Mutter, so those come from XWayland (keys typed into X11 windows). Without the
// monitor the pointer is never taken for still prey: the cat does not hunt.
class MutterIdle final : public QObject, public InputIdle {
    Q_OBJECT
  public:
    MutterIdle(InputIdle& xwayland, QDBusConnection bus);

    void start();

    double secondsSinceAnyInput() const override;
    double secondsSinceKeyDown() const override;
    double secondsSinceMouseMoved() const override;

    // Input stopped a second ago: the pointer stays where it is now until input comes again,
    // so one reading of it holds for the whole quiet spell.
    std::function<void()> onQuiet;
    // Input came again after a quiet spell.
    std::function<void()> onActive;

  private slots:
    void watchFired(const QDBusMessage& message);

  private:
    void ownerIs(const QString& owner);
    void addWatch(bool active);
    void unavailable(const QString& why);
    double now() const { return double(clock_.nsecsElapsed()) / 1e9; }

    InputIdle& xwayland_;
    QDBusConnection bus_;
    QElapsedTimer clock_;
    QString owner_;
    bool available_ = false;
    bool unavailableTold_ = false;
    std::optional<double> idleSince_; // none while the user is active
    quint32 idleWatch_ = 0, activeWatch_ = 0;
    bool activePending_ = false;
};
