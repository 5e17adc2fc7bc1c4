#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

// The machine going to sleep and waking (logind's PrepareForSleep on the system bus) and the
// screens going dark and back (the session's screen saver ActiveChanged). Either bus may be
// missing; then that half is simply never reported.
class SleepSignals final : public QObject {
    Q_OBJECT
  public:
    SleepSignals(QDBusConnection system, QDBusConnection session, QObject* parent = nullptr);

    std::function<void()> asleep = [] {};
    std::function<void()> awake = [] {};

  private slots:
    void prepareForSleep(bool sleeping);
    void screenSaverActive(bool active);
};
