#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <numbers>

// One posture of the cat and its props. Every field is a real number so that two poses can be
// blended field by field; props show when their visibility is above one half.
// Units are points on the 96 x 96 canvas, y down, the cat facing right; angles in degrees.
struct Pose {
    // Body: a chubby ellipse around (bodyX, bodyY).
    double bodyX = 46, bodyY = 62, bodyW = 25, bodyH = 15, bodyTurn = 0;
    // Head: its centre; tilt turns it about that centre.
    double headX = 70, headY = 44, headTilt = 0, headSquash = 1;
    double earsBack = 0;  // 0 pricked, 1 flattened sideways
    double eyesOpen = 1;  // 0 shut (a curve), 1 wide open
    double eyesHappy = 0; // > 0.5: closed smiling arcs instead of eyes
    double lookX = 0.6, lookY = 0;
    double mouthOpen = 0; // 0 a small smile, 1 wide open
    double chew = 0;      // puffed cheeks
    double blush = 1;
    // Tail from the rump: base angle (0 points straight back, positive curls up), bend and length.
    double tailAngle = 40, tailBend = 30, tailLength = 24, tailWidth = 7.5;
    // Paws: far front, near front, far hind, near hind; (x, y) is the lowest point of the paw.
    double farFrontX = 58, farFrontY = 80, nearFrontX = 62, nearFrontY = 80;
    double farHindX = 30, farHindY = 80, nearHindX = 35, nearHindY = 80;
    double frontOver = 0; // > 0.5: the near front leg is drawn over the body and props
    double scruff = 0;    // a pinched tuft on the nape, for being held
    // Props.
    double letter = 0;                        // envelope in the mouth
    double treat = 0, treatX = 0, treatY = 0; // a fish-shaped biscuit
    double bed = 0;                           // the bed at the bottom of the canvas
    double phone = 0, phoneX = 0, phoneY = 0, phoneTurn = 0, phoneGlow = 0;
    double laptop = 0, laptopOpen = 1;
    double headphones = 0, notes = 0, noteRise = 0;
    double mug = 0, mugX = 0, mugY = 0, mugTurn = 0, steam = 0;
    double heart = 0;       // a small heart above the phone (liking)
    double propsBehind = 0; // > 0.5: held things are still behind the bed's front rim
};

// Blending treats a pose as an array of doubles; keep every field a double.
inline constexpr int poseFields = int(sizeof(Pose) / sizeof(double));
static_assert(sizeof(Pose) % sizeof(double) == 0 && alignof(Pose) == alignof(double));

namespace Blend {

inline double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

// Smooth start and stop, so keyed motion never jerks at a key.
inline double ease(double t) {
    return t * t * (3 - 2 * t);
}

inline Pose mix(const Pose& a, const Pose& b, double t) {
    using Fields = std::array<double, poseFields>;
    const auto fa = std::bit_cast<Fields>(a);
    const auto fb = std::bit_cast<Fields>(b);
    Fields out{};
    for (int i = 0; i < poseFields; ++i)
        out[i] = mix(fa[i], fb[i], t);
    return std::bit_cast<Pose>(out);
}

inline double wave(double phase) {
    return std::sin(phase * 2 * std::numbers::pi);
}

} // namespace Blend
