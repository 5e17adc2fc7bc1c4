#pragma once

#include <QPointF>
#include <QRect>
#include <algorithm>

// A rectangle in the engine's coordinates: global points, origin at the bottom-left of the
// primary screen, y up. Named by edges so formulas read minY/maxY, never Qt's top/bottom.
struct Rect {
    double x = 0, y = 0, width = 0, height = 0;

    double minX() const { return x; }
    double maxX() const { return x + width; }
    double minY() const { return y; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    bool isEmpty() const { return !(width > 0) || !(height > 0); }
    bool contains(QPointF p) const {
        return p.x() >= minX() && p.x() <= maxX() && p.y() >= minY() && p.y() <= maxY();
    }
    // Positive-area overlap, as CGRectIntersectsRect.
    bool intersects(const Rect& o) const {
        return !isEmpty() && !o.isEmpty() &&
               std::max(minX(), o.minX()) < std::min(maxX(), o.maxX()) &&
               std::max(minY(), o.minY()) < std::min(maxY(), o.maxY());
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The single conversion between X11's top-left, y-down pixels and the engine's y-up points.
// screenHeight is the primary screen's height in the same units as the input; ratio is the
// device pixel ratio (pixels per point).
namespace Coordinates {

inline Rect fromX11(const QRect& px, double screenHeightPx, double ratio = 1.0) {
    return Rect{px.x() / ratio, (screenHeightPx - (px.y() + px.height())) / ratio,
                px.width() / ratio, px.height() / ratio};
}

inline QRect toX11(const Rect& r, double screenHeightPx, double ratio = 1.0) {
    const int x = int(std::lround(r.x * ratio));
    const int w = int(std::lround(r.width * ratio));
    const int h = int(std::lround(r.height * ratio));
    const int y = int(std::lround(screenHeightPx - r.maxY() * ratio));
    return QRect(x, y, w, h);
}

inline QPointF pointFromX11(QPointF px, double screenHeightPx, double ratio = 1.0) {
    return QPointF(px.x() / ratio, (screenHeightPx - px.y()) / ratio);
}

inline QPointF pointToX11(QPointF p, double screenHeightPx, double ratio = 1.0) {
    return QPointF(p.x() * ratio, screenHeightPx - p.y() * ratio);
}

} // namespace Coordinates
