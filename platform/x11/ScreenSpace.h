#pragma once

#include "platform/Geometry.h"

#include <QPointF>
#include <QRect>

// Where the primary screen lies in X11 root pixels. Every backend, panel and pointer event goes
// between X11 root pixels or Qt's global coordinates and the engine's y-up points through here,
// and nowhere else.
struct ScreenSpace {
    bool valid = false;
    QRect primaryPx;    // the primary monitor in root pixels
    double ratio = 1.0; // device pixels per point

    static ScreenSpace current(); // from QGuiApplication::primaryScreen()

    // Coordinates puts the origin at x = 0; a primary monitor that does not start at the root's
    // left edge is shifted there first, and its bottom edge is the y-up origin.
    Rect fromX11(const QRect& px) const {
        return Coordinates::fromX11(px.translated(-primaryPx.x(), 0), bottomPx(), ratio);
    }
    QPointF pointFromX11(QPointF px) const {
        return Coordinates::pointFromX11(px - QPointF(primaryPx.x(), 0), bottomPx(), ratio);
    }
    QPointF pointToX11(QPointF p) const {
        return Coordinates::pointToX11(p, bottomPx(), ratio) + QPointF(primaryPx.x(), 0);
    }
    QRect toX11(const Rect& r) const {
        return Coordinates::toX11(r, bottomPx(), ratio).translated(primaryPx.x(), 0);
    }

    // Qt's global coordinates, which widgets and mouse events use: a screen's top-left stays
    // at its root pixel and only its size is scaled, so inside the primary one point is one
    // Qt unit from that corner.
    QRect toQtGlobal(const Rect& r) const {
        const QRect local = Coordinates::toX11(r, heightPt());
        return local.translated(primaryPx.topLeft());
    }
    QPointF pointFromQtGlobal(QPointF q) const {
        return Coordinates::pointFromX11(q - QPointF(primaryPx.topLeft()), heightPt());
    }

  private:
    double bottomPx() const { return primaryPx.y() + primaryPx.height(); }
    double heightPt() const { return primaryPx.height() / ratio; }
};
