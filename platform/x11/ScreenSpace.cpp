#include "platform/x11/ScreenSpace.h"

#include <QGuiApplication>
#include <QScreen>

ScreenSpace ScreenSpace::current() {
    ScreenSpace s;
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen) return s;
    // Qt keeps a screen's top-left at its native position and scales only its size.
    const QRect g = screen->geometry();
    s.ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
    s.primaryPx = QRect(g.topLeft(), (QSizeF(g.size()) * s.ratio).toSize());
    s.valid = !s.primaryPx.isEmpty();
    return s;
}
