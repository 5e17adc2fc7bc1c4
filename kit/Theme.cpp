#include "kit/Theme.h"

namespace {

QColor rgb(double r, double g, double b, double a = 1.0) {
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

} // namespace

namespace Theme {

const QColor& ink() {
    static const QColor c = rgb(0.23, 0.16, 0.14);
    return c;
}
const QColor& inkSoft() {
    static const QColor c = rgb(0.23, 0.16, 0.14, 0.62);
    return c;
}
const QColor& cream() {
    static const QColor c = rgb(1, 0.957, 0.918);
    return c;
}
const QColor& paper() {
    static const QColor c = rgb(1, 0.992, 0.976);
    return c;
}
const QColor& pink() {
    static const QColor c = rgb(0.965, 0.62, 0.725);
    return c;
}
const QColor& blush() {
    static const QColor c = rgb(1, 0.88, 0.91);
    return c;
}
const QColor& sky() {
    static const QColor c = rgb(0.78, 0.9, 0.94);
    return c;
}
const QColor& mint() {
    static const QColor c = rgb(0.56, 0.83, 0.65);
    return c;
}

} // namespace Theme
