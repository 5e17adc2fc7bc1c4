// The held cat's pendulum: driven by the pointer's sideways acceleration, stretched by its
// vertical jerks, and kicking when left hanging still.

#include "cat/Dangle.h"

#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double maxAngle = 22;      // degrees either side
constexpr double pendulum = 55;      // points from the hang point to the body
constexpr double gravity = 2400;     // points per second squared
constexpr double drive = 0.45;       // how strongly sideways pointer acceleration swings it
constexpr double grabSeconds = 0.35; // the grab frame shows this long after the pick-up

constexpr CatSprite::Case swingFrames[5] = {CatSprite::heldSwing1, CatSprite::heldSwing2,
                                            CatSprite::heldSwing3, CatSprite::heldSwing4,
                                            CatSprite::heldSwing5};
constexpr CatSprite::Case angryFrames[4] = {CatSprite::heldAngry1, CatSprite::heldAngry2,
                                            CatSprite::heldAngry3, CatSprite::heldAngry4};

double clampAccel(double a) {
    return std::clamp(a, -20000.0, 20000.0);
}

} // namespace

void Dangle::step(QPointF cursor, double dt, double t, double heldFor, Random& random) {
    if (!(dt > 0)) return;

    // Smoothed pointer velocity and acceleration.
    Smoothing* k = nullptr;
    for (Smoothing& slot : smoothing)
        if (slot.dt == dt) k = &slot;
    if (!k) {
        k = &smoothing[nextSmoothingSlot];
        nextSmoothingSlot = 1 - nextSmoothingSlot;
        *k = Smoothing{dt, 1 - std::exp(-dt / 0.075), 1 - std::exp(-dt / 0.047)};
    }
    const double kv = k->velocity;
    const double ka = k->accel;
    const double perSecond = 1 / dt;
    const QPointF moved = cursor - lastCursor;
    lastCursor = cursor;
    const QPointF v = velocity + (moved * perSecond - velocity) * kv;
    const QPointF raw = (v - velocity) * perSecond;
    velocity = v;
    accel += (QPointF(clampAccel(raw.x()), clampAccel(raw.y())) - accel) * ka;

    // A damped pendulum driven by the pointer's sideways acceleration.
    const double theta = angle * pi / 180;
    const double angular = ((drive * accel.x() / pendulum) * std::cos(theta) -
                            (gravity / pendulum) * std::sin(theta)) *
                               180 / pi -
                           4.5 * spin;
    spin += dt * angular;
    angle = std::clamp(angle + dt * spin, -maxAngle, maxAngle);
    if (std::abs(angle) == maxAngle) spin /= 2;

    // A stiff spring stretches the body when the pointer is jerked up or down.
    stretchSpeed += dt * (0.0006 * accel.y() - 250 * (stretch - 1) - 18 * stretchSpeed);
    stretch = std::clamp(stretch + dt * stretchSpeed, 0.9, 1.15);

    if (std::abs(angle) < 6 && std::abs(spin) < 15) {
        if (!settledSince) settledSince = t;
    } else {
        settledSince.reset();
    }
    // Left hanging still, it grows annoyed; moving the pointer calms it (Holding::carry).
    if (!angry && settledSince && t - lastMove > 0.8 && t - *settledSince > 0.3) {
        angry = true;
        angryStart = t;
    }

    if (angry) {
        const int frame = int((t - angryStart) * 7) % 4;
        if (frame != angryFrame) {
            // Kicks to alternate sides.
            if (frame == 1) spin -= random.uniform(15, 25);
            if (frame == 3) spin += random.uniform(15, 25);
            angryFrame = frame;
        }
        sprite = angryFrames[frame];
    } else if (heldFor < grabSeconds) {
        sprite = CatSprite::heldSwing6;
    } else {
        angryFrame = -1;
        // Swinging one way shows the frames below the middle one, the other way those above;
        // the 0.6 margin keeps the frame from flickering between two.
        const double target = std::clamp(2 - spin / 45, 0.0, 4.0);
        if (std::abs(target - swingIndex) > 0.6) swingIndex = int(std::round(target));
        sprite = swingFrames[swingIndex];
    }
}
