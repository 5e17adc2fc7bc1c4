#pragma once

#include "platform/Geometry.h"

#include <QPointF>
#include <QRect>

// Where the primary screen lies in X11 root pixels. Every backend goes from pixels to engine
// points through here, and from here only through Coordinates.
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

  private:
    double bottomPx() const { return primaryPx.y() + primaryPx.height(); }
};
