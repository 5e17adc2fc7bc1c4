#pragma once

#include <QPointF>
#include <QRect>
#include <cmath>

// The compositor's global space (logical pixels, top-left origin, y down) against XWayland's
// root window, where our panels live. XWayland lays its monitors out where the compositor puts
// its outputs, so the corner of the outputs' union is the corner of the monitors' union in the
// root: the same point when the root holds logical pixels (an output at 200,100 is a monitor at
// +200+100), scaled when the compositor lets X11 clients scale themselves (KWin's "apply
// scaling themselves": the root holds device pixels). Both are one offset and one factor,
// found by laying the compositor's output bounds over the monitors' bounds. Every compositor
// window source maps through here and nowhere else.
struct XWaylandSpace {
    QPoint origin;      // the compositor's top-left of its output layout
    QPoint rootOrigin;  // the same corner in the root: the monitors' top-left
    double scale = 1.0; // root pixels per logical pixel

    // logical: the union of the compositor's outputs in its own space; root: the union of
    // XWayland's monitors in root pixels. A fractional factor from rounding snaps to the
    // nearest integer when it is that close.
    static XWaylandSpace fromBounds(const QRect& logical, const QRect& root) {
        XWaylandSpace s;
        s.origin = logical.topLeft();
        s.rootOrigin = root.topLeft();
        if (logical.width() > 0 && root.width() > 0) {
            const double f = double(root.width()) / logical.width();
            s.scale = std::abs(f - std::round(f)) < 0.02 ? std::round(f) : f;
            if (!(s.scale > 0)) s.scale = 1.0;
        }
        return s;
    }

    QRect toRoot(const QRect& logical) const {
        const QPointF at = toRoot(QPointF(logical.topLeft()));
        return QRect(int(std::lround(at.x())), int(std::lround(at.y())),
                     int(std::lround(logical.width() * scale)),
                     int(std::lround(logical.height() * scale)));
    }
    QPointF toRoot(QPointF logical) const {
        return QPointF((logical.x() - origin.x()) * scale + rootOrigin.x(),
                       (logical.y() - origin.y()) * scale + rootOrigin.y());
    }
    QPointF fromRoot(QPointF root) const {
        return QPointF((root.x() - rootOrigin.x()) / scale + origin.x(),
                       (root.y() - rootOrigin.y()) / scale + origin.y());
    }
};
