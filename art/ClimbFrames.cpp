#include "art/BasePoses.h"
#include "art/Families.h"

// Climbing a window's face and pulling over its top edge. The face is on the cat's right: the
// cat hangs belly to it, paws flat on it.
namespace {

constexpr double faceX = 66;

Pose clinging() {
    Pose s = BasePoses::standing();
    s.bodyX = 48, s.bodyY = 58, s.bodyW = 22, s.bodyH = 14.5, s.bodyTurn = -86;
    s.headX = 52, s.headY = 32, s.headTilt = -10;
    s.lookX = 0.9, s.lookY = -1.3;
    s.farFrontX = faceX + 2, s.nearFrontX = faceX + 5;
    s.farHindX = faceX - 5, s.nearHindX = faceX - 3;
    // Hanging below the rump, curled so its tip stays above the canvas bottom.
    s.tailAngle = 20, s.tailBend = 45, s.tailLength = 14;
    return s;
}

Pose climb(int n) {
    Pose s = clinging();
    // Paws reach in diagonal pairs: near front with far hind, then far front with near hind.
    const bool nearReach = n == 1 || n == 2;
    const double reach = (n == 1 || n == 3) ? 1.0 : 0.5;
    const double high = 26 - 8 * reach, low = 38;
    s.nearFrontY = nearReach ? high : low;
    s.farFrontY = nearReach ? low : high;
    s.nearHindY = nearReach ? 88 : 82 - 5 * reach;
    s.farHindY = nearReach ? 82 - 5 * reach : 88;
    s.bodyY += (n % 2 == 1) ? -1.5 : 0.5;
    s.headY += (n % 2 == 1) ? -1.5 : 0.5;
    s.bodyTurn += nearReach ? 3 : -3;
    s.tailBend += nearReach ? 12 : -12;
    return s;
}

// Pulling over: the window's top edge lies at the fraction 0.18, 0.38, 0.55 and 1.0 of each
// frame's height below its top, so the paws grip at those heights.
Pose over(int n) {
    Pose s = clinging();
    switch (n) {
    case 1: // hanging from the edge: paws flat on top, ears and brow over it
        s.bodyY = 62, s.headX = 54, s.headY = 38, s.headTilt = -6, s.lookY = -1.4;
        s.nearFrontX = faceX + 6, s.nearFrontY = 27, s.farFrontX = faceX + 11, s.farFrontY = 27;
        s.nearHindY = 88, s.farHindY = 90;
        s.tailBend = 60;
        break;
    case 2: // head and elbows over, hind paws scrabbling at the face
        s.bodyX = 52, s.bodyY = 60, s.bodyTurn = -72;
        s.headX = 58, s.headY = 30, s.headTilt = 0, s.lookY = 0;
        s.nearFrontX = faceX + 16, s.nearFrontY = 41, s.farFrontX = faceX + 9, s.farFrontY = 41;
        s.nearHindX = faceX - 1, s.nearHindY = 89, s.farHindX = faceX - 4, s.farHindY = 91;
        break;
    case 3: // front half on top, hind legs still hanging
        s.bodyX = 58, s.bodyY = 62, s.bodyTurn = -42;
        s.headX = 71, s.headY = 38, s.headTilt = 0, s.lookY = 0;
        s.nearFrontX = 80, s.nearFrontY = 57, s.farFrontX = 76, s.farFrontY = 57;
        s.nearHindX = 56, s.nearHindY = 89, s.farHindX = 52, s.farHindY = 91;
        s.tailAngle = -20, s.tailBend = 30;
        break;
    default: { // up, hind paws stepping over the edge
        s = BasePoses::standing();
        s.bodyX += 4, s.headX += 2;
        s.bodyTurn = 4, s.bodyY += 2, s.headY += 1;
        s.nearHindX = 40, s.nearHindY = 78, s.farHindX = 36;
        s.farFrontX += 4, s.nearFrontX += 4;
        break;
    }
    }
    return s;
}

} // namespace

namespace Families {

std::optional<Pose> hanging(const FrameName& name) {
    if (name.stem == u"climb" && name.number >= 1 && name.number <= 4) return climb(name.number);
    if (name.stem == u"climb_over" && name.number >= 1 && name.number <= 4)
        return over(name.number);
    return std::nullopt;
}

} // namespace Families
