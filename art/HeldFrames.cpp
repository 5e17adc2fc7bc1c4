#include "art/BasePoses.h"
#include "art/Families.h"

// Dangling from the pointer by the scruff. The tuft on the nape is the highest opaque part of
// every held frame, so the hang point lands on it and not on an ear.
namespace {

Pose dangling() {
    Pose s = BasePoses::standing();
    s.scruff = 1;
    s.bodyX = 46, s.bodyY = 46, s.bodyW = 23, s.bodyH = 14, s.bodyTurn = -80;
    s.headX = 60, s.headY = 36, s.headTilt = 14;
    s.earsBack = 0.45;
    s.farFrontX = 52, s.farFrontY = 66, s.nearFrontX = 56, s.nearFrontY = 68;
    s.farHindX = 40, s.farHindY = 82, s.nearHindX = 44, s.nearHindY = 84;
    s.tailAngle = -10, s.tailBend = 25, s.tailLength = 22;
    s.lookY = 1.0;
    return s;
}

Pose swing(int n) {
    Pose s = dangling();
    if (n == 6) { // the grab: startled, legs spread
        s.eyesOpen = 1.2, s.mouthOpen = 0.35, s.earsBack = 0.7;
        s.farFrontX = 66, s.farFrontY = 62, s.nearFrontX = 70, s.nearFrontY = 66;
        s.farHindX = 30, s.farHindY = 80, s.nearHindX = 54, s.nearHindY = 84;
        return s;
    }
    // 1 trails to one side, 3 hangs straight, 5 trails to the other.
    const double lean = (n - 3) / 2.0;
    s.farFrontX += 7 * lean, s.nearFrontX += 7 * lean;
    s.farHindX += 12 * lean, s.nearHindX += 12 * lean;
    s.farHindY -= 3 * std::abs(lean), s.nearHindY -= 3 * std::abs(lean);
    s.tailAngle -= 40 * lean;
    s.headTilt += 6 * lean;
    s.lookX = 0.6 - 1.2 * lean;
    s.bodyTurn += 5 * lean;
    return s;
}

Pose angry(int n) {
    Pose s = dangling();
    s.earsBack = 1, s.eyesOpen = 0.55, s.mouthOpen = 0.6, s.blush = 0;
    // Kicks alternate: hind legs out to one side, then the other.
    const double side = (n == 1 || n == 2) ? -1 : 1;
    const double out = (n % 2 == 1) ? 1 : 0.4;
    s.nearHindX += 16 * side * out, s.nearHindY -= 8 * out;
    s.farHindX -= 10 * side * out, s.farHindY -= 2 * out;
    s.nearFrontX += 6 * side, s.farFrontX -= 4 * side;
    s.tailAngle += 50 * side * out;
    s.headTilt += 4 * side;
    return s;
}

} // namespace

namespace Families {

std::optional<Pose> held(const FrameName& name) {
    if (name.stem == u"held_swing" && name.number >= 1 && name.number <= 6)
        return swing(name.number);
    if (name.stem == u"held_angry" && name.number >= 1 && name.number <= 4)
        return angry(name.number);
    return std::nullopt;
}

} // namespace Families
