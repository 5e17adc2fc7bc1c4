#include "platform/linux/SleepSignals.h"

#include "base/Log.h"

SleepSignals::SleepSignals(QDBusConnection system, QDBusConnection session, QObject* parent)
    : QObject(parent) {
    if (system.isConnected())
        system.connect(QStringLiteral("org.freedesktop.login1"),
                       QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"),
                       QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    else
        Log::notice(QStringLiteral("sleep: no system bus; the cat does not notice the machine "
                                   "sleeping"));
    if (!session.isConnected()) return;
    // Desktops publish the screen saver under different paths and names.
    const struct {
        const char* path;
        const char* interface;
    } savers[] = {{"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
                  {"/ScreenSaver", "org.freedesktop.ScreenSaver"},
                  {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"}};
    for (const auto& s : savers)
        session.connect(QString(), QString::fromLatin1(s.path), QString::fromLatin1(s.interface),
                        QStringLiteral("ActiveChanged"), this, SLOT(screenSaverActive(bool)));
}

void SleepSignals::prepareForSleep(bool sleeping) {
    Log::info(sleeping ? QStringLiteral("sleep: the machine goes to sleep")
                       : QStringLiteral("sleep: the machine woke"));
    sleeping ? asleep() : awake();
}

void SleepSignals::screenSaverActive(bool active) {
    Log::info(active ? QStringLiteral("sleep: the screens went dark")
                     : QStringLiteral("sleep: the screens woke"));
    active ? asleep() : awake();
}
