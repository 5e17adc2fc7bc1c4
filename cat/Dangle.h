#pragma once

#include "frames/CatSprite.h"

#include <QPointF>
#include <optional>

class Random;

// The pendulum state of a cat held by the pointer. Dates are engine seconds.
struct Dangle {
    double angle = 0;        // degrees, within -22 … 22
    double spin = 0;         // degrees per second
    double stretch = 1;      // vertical scale, within 0.9 … 1.15
    double stretchSpeed = 0; // per second
    QPointF lastCursor;
    QPointF velocity; // points per second, smoothed
    QPointF accel;    // points per second squared, smoothed
    CatSprite sprite = CatSprite::heldSwing6;
    int swingIndex = 2; // 0 … 4
    double lastMove = 0;
    int angryFrame = -1;
    bool angry = false;
    std::optional<double> settledSince;
    double angryStart = 0;

    // One frame of dt seconds with the pointer at cursor, heldFor seconds after the pick-up:
    // swings the pendulum, stretches the body and picks the frame. Left hanging still, the cat
    // grows annoyed and kicks (random decides how hard).
    void step(QPointF cursor, double dt, double now, double heldFor, Random& random);

  private:
    // Engine dates count whole milliseconds, so at a steady frame rate dt takes one of two
    // values: the smoothing factors of the last two are kept, and a frame computes none.
    struct Smoothing {
        double dt = -1;
        double velocity = 0;
        double accel = 0;
    };
    Smoothing smoothing[2];
    int nextSmoothingSlot = 0;
};
