#pragma once

#include <cmath>
#include <numbers>

// A critically damped spring (damping fraction 1, no bounce) from one value to another, in the
// time it is given as its response: the way the bubble grows, fades and moves with the caption.
// Pure arithmetic on the seconds since the spring started.
struct Spring {
    double from = 0, to = 0;
    double response = 0.35; // seconds of one undamped period
    double started = 0;     // seconds, on the caller's clock

    // Where the spring is at time t; exactly `to` once it has settled.
    double at(double t) const {
        const double x = progress(t - started);
        return x >= 1 ? to : from + (to - from) * x;
    }
    bool settled(double t) const { return progress(t - started) >= 1; }

    // 0 … 1; 1 once the remaining distance is below a thousandth of the way.
    double progress(double elapsed) const {
        if (elapsed <= 0) return 0;
        const double w = 2 * std::numbers::pi / response;
        const double left = (1 + w * elapsed) * std::exp(-w * elapsed);
        return left < 1e-3 ? 1 : 1 - left;
    }
};
