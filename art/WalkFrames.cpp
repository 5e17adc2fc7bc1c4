#include "art/BasePoses.h"
#include "art/Families.h"

#include <cmath>

// Both walks are loops of three strides. A paw on the ground slides back at exactly the
// walking speed (1.742 points per frame in both gaits), so the feet do not skate.
namespace {

constexpr double pointsPerFrame = 1.742481751824818;
constexpr int strides = 3;
constexpr double stance = 0.62; // share of a stride a paw spends on the ground

struct Step {
    double dx; // offset from the paw's resting place
    double lift;
};

Step step(double phase, double framesPerStride) {
    phase -= std::floor(phase);
    const double reach = stance * framesPerStride * pointsPerFrame;
    if (phase < stance) return {reach / 2 - reach * phase / stance, 0};
    const double swing = (phase - stance) / (1 - stance);
    const double eased = Blend::ease(swing);
    return {-reach / 2 + reach * eased, 5.5 * std::sin(swing * 3.14159265358979)};
}

Pose walk(int frame, int frames, bool letter) {
    Pose s = BasePoses::standing();
    const double perStride = double(frames) / strides;
    const double t = double(frame - 1) / perStride; // stride count since the loop began
    // A lateral-sequence walk: hind, front, other hind, other front a quarter apart.
    const Step nearHind = step(t, perStride);
    const Step nearFront = step(t + 0.75, perStride);
    const Step farHind = step(t + 0.5, perStride);
    const Step farFront = step(t + 0.25, perStride);
    s.nearHindX += nearHind.dx, s.nearHindY -= nearHind.lift;
    s.nearFrontX += nearFront.dx, s.nearFrontY -= nearFront.lift;
    s.farHindX += farHind.dx, s.farHindY -= farHind.lift;
    s.farFrontX += farFront.dx, s.farFrontY -= farFront.lift;
    // The body bobs twice per stride, the head a little behind it; the tail sways.
    const double bob = Blend::wave(2 * t);
    s.bodyY += 0.9 * bob;
    s.bodyTurn += 1.2 * Blend::wave(t);
    s.headY += 0.7 * Blend::wave(2 * t - 0.15);
    s.headTilt = 1.5 * Blend::wave(t + 0.1);
    s.tailAngle += 6 * Blend::wave(t);
    s.tailBend += 10 * Blend::wave(t - 0.2);
    if (letter) {
        s.letter = 1;
        s.headY -= 1;
        s.headTilt -= 3;
        s.lookX = 0.8;
        s.tailAngle += 10; // proud, tail up
    }
    return s;
}

} // namespace

namespace Families {

std::optional<Pose> walking(const FrameName& name) {
    if (name.stem == u"walk_plain_video") return walk(name.number, 38, false);
    if (name.stem == u"walk_letter_video") return walk(name.number, 44, true);
    return std::nullopt;
}

} // namespace Families
