#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>

// The machine going to sleep and waking (logind's PrepareForSleep on the system bus) and the
// screens going dark and back (the screen savers' ActiveChanged on the session bus, and other
// sources through screensDark). Either bus may be missing; then that half is simply never
// reported. The screens are dark while any source says so, and wake when the last one clears.
class SleepSignals final : public QObject {
    Q_OBJECT
  public:
    SleepSignals(QDBusConnection system, QDBusConnection session, QObject* parent = nullptr);

    std::function<void()> asleep = [] {};
    std::function<void()> awake = [] {};

    // A source of its own (the X server's screen saver and DPMS) reports the screens dark.
    void screensDark(const QString& source, bool dark);

  private slots:
    void prepareForSleep(bool sleeping);
    void screenSaverActive(bool active);

  private:
    QSet<QString> dark_; // the sources that say the screens are dark
};
