#pragma once

#include <QPointF>
#include <QRect>
#include <cmath>

// The compositor's global space (logical pixels, top-left origin, y down) against XWayland's
// root window, where our panels live. Compositors place the root's (0, 0) at the top-left of
// their output layout and, unless they let X11 clients scale themselves, give it logical
// pixels; with X11 self-scaling (KWin's "apply scaling themselves") the root holds device
// pixels. Both are one offset and one factor, found by laying the compositor's output bounds
// over the root's. Every compositor window source maps through here and nowhere else.
struct XWaylandSpace {
    QPoint origin;      // the compositor's top-left of its output layout
    double scale = 1.0; // root pixels per logical pixel

    // logical: the union of the compositor's outputs in its own space; root: the X root
    // window's size as XWayland reports it. A fractional factor from rounding snaps to the
    // nearest integer when it is that close.
    static XWaylandSpace fromBounds(const QRect& logical, const QSize& root) {
        XWaylandSpace s;
        s.origin = logical.topLeft();
        if (logical.width() > 0 && root.width() > 0) {
            const double f = double(root.width()) / logical.width();
            s.scale = std::abs(f - std::round(f)) < 0.02 ? std::round(f) : f;
            if (!(s.scale > 0)) s.scale = 1.0;
        }
        return s;
    }

    QRect toRoot(const QRect& logical) const {
        const double x = (logical.x() - origin.x()) * scale;
        const double y = (logical.y() - origin.y()) * scale;
        return QRect(int(std::lround(x)), int(std::lround(y)),
                     int(std::lround(logical.width() * scale)),
                     int(std::lround(logical.height() * scale)));
    }
    QPointF toRoot(QPointF logical) const {
        return QPointF((logical.x() - origin.x()) * scale, (logical.y() - origin.y()) * scale);
    }
    QPointF fromRoot(QPointF root) const {
        return QPointF(root.x() / scale + origin.x(), root.y() / scale + origin.y());
    }
};
