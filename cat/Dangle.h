#pragma once

#include "frames/CatSprite.h"

#include <QPointF>
#include <optional>

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
};
