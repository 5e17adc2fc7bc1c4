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
                  {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
                  {"/org/mate/ScreenSaver", "org.mate.ScreenSaver"},
                  {"/org/cinnamon/ScreenSaver", "org.cinnamon.ScreenSaver"}};
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
    screensDark(QStringLiteral("the screen saver"), active);
}

void SleepSignals::screensDark(const QString& source, bool dark) {
    const bool was = !dark_.isEmpty();
    if (dark)
        dark_.insert(source);
    else
        dark_.remove(source);
    const bool is = !dark_.isEmpty();
    if (is == was) return;
    Log::info(is ? QStringLiteral("sleep: the screens went dark (%1)").arg(source)
                 : QStringLiteral("sleep: the screens woke"));
    is ? asleep() : awake();
}
