#pragma once

#include <QPointF>
#include <QString>
#include <cmath>
#include <numbers>

// One stream of rising glyphs (hearts while petted, "z" while asleep). Positions come from the
// clock alone, so the stream keeps no per-frame state.
struct Floating {
    QString symbol;
    double rise = 0;  // points climbed over one cycle
    double speed = 0; // cycles per second
    double sway = 0;  // amplitude of the sideways wobble, points
    double drift = 0; // steady sideways travel over one cycle, points

    static constexpr int copies = 3;

    struct Glyph {
        QPointF offset; // from the stream's origin, y down
        double fontSize;
        double opacity;
    };

    // Copy i (0, 1, 2) at wall-clock time t, each on its own third of the cycle.
    Glyph glyph(int i, double t) const {
        double p = std::fmod(i / 3.0 + t * speed, 1.0);
        if (p < 0) p += 1;
        const double e = 1 - (1 - p) * (1 - p); // ease-out
        const double x = e * drift + std::sin(2 * i + 2 * std::numbers::pi * p) * sway;
        return {QPointF(x, -rise * e), 10 + 5 * e, (1 - p) * std::min(1.0, 5 * p)};
    }

    static Floating hearts() { return {QStringLiteral("💗"), 40, 0.3, 5, 0}; }
    static Floating sleep() { return {QStringLiteral("z"), 36, 0.5, 8, 18}; }
};
