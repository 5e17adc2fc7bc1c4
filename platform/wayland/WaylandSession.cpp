#include "platform/wayland/WaylandSession.h"

#include <QStringList>

WaylandSession WaylandSession::detect(const QProcessEnvironment& env) {
    WaylandSession s;
    s.wayland = !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
                env.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    if (!s.wayland) return s;

    // Compositors that name themselves by a socket of their own come first: a sway or
    // Hyprland session often inherits XDG_CURRENT_DESKTOP from whatever started it.
    if (!env.value(QStringLiteral("SWAYSOCK")).isEmpty()) {
        s.compositor = Compositor::sway;
        s.name = QStringLiteral("sway");
        return s;
    }
    if (!env.value(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE")).isEmpty()) {
        s.compositor = Compositor::hyprland;
        s.name = QStringLiteral("Hyprland");
        return s;
    }
    const QStringList desktops =
        env.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':', Qt::SkipEmptyParts);
    for (const QString& d : desktops) {
        if (d.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0) {
            s.compositor = Compositor::kwin;
            s.name = QStringLiteral("KWin");
            return s;
        }
        if (d.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0) {
            s.compositor = Compositor::gnomeShell;
            s.name = QStringLiteral("GNOME Shell");
            return s;
        }
    }
    s.compositor = Compositor::other;
    s.name =
        desktops.isEmpty() ? env.value(QStringLiteral("XDG_SESSION_DESKTOP")) : desktops.first();
    if (s.name.isEmpty()) s.name = QStringLiteral("an unknown compositor");
    return s;
}
