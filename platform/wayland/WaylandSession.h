#pragma once

#include <QProcessEnvironment>
#include <QString>

// Which desktop session Purrlox was started in, read from the environment once at start.
// Under Wayland no client may list other clients' windows, so the window list, the pointer
// and the idle time come from the compositor itself.
struct WaylandSession {
    enum class Compositor { none, kwin, gnomeShell, sway, hyprland, other };

    bool wayland = false; // a Wayland session is running
    Compositor compositor = Compositor::none;
    QString name; // for log lines: "KWin", "GNOME Shell", "labwc"…

    static WaylandSession detect(const QProcessEnvironment& env);
};
