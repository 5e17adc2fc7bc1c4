#include "art/BasePoses.h"
#include "art/Families.h"

// Climbing a window's face and pulling over its top edge. The face is on the cat's right: the
// cat hangs belly to it, paws flat on it.
namespace {

constexpr double faceX = 64;

Pose clinging() {
    Pose s = BasePoses::standing();
    s.bodyX = 50, s.bodyY = 52, s.bodyW = 22, s.bodyH = 14.5, s.bodyTurn = -86;
    s.headX = 54, s.headY = 24, s.headTilt = -6;
    s.lookX = 0.8, s.lookY = -1.0;
    s.frontOver = 1;
    s.farFrontX = faceX, s.nearFrontX = faceX + 2;
    s.farHindX = faceX - 3, s.nearHindX = faceX - 1;
    s.tailAngle = -4, s.tailBend = 30, s.tailLength = 24;
    return s;
}

Pose climb(int n) {
    Pose s = clinging();
    // Paws reach in diagonal pairs: near front with far hind, then far front with near hind.
    const bool nearReach = n == 1 || n == 2;
    const double reach = (n == 1 || n == 3) ? 1.0 : 0.5;
    const double high = 22 - 6 * reach, low = 34;
    s.nearFrontY = nearReach ? high : low;
    s.farFrontY = nearReach ? low : high;
    s.nearHindY = nearReach ? 82 : 76 - 4 * reach;
    s.farHindY = nearReach ? 76 - 4 * reach : 82;
    s.bodyY += (n % 2 == 1) ? -1.5 : 0.5;
    s.headY += (n % 2 == 1) ? -1.5 : 0.5;
    s.bodyTurn += nearReach ? 3 : -3;
    s.tailBend += nearReach ? 20 : -20;
    return s;
}

Pose over(int n) {
    Pose s = clinging();
    switch (n) {
    case 1: // eyes just over the edge, paws hooked on it
        s.bodyY = 62, s.headY = 36, s.headX = 56;
        s.lookY = -0.5;
        s.nearFrontX = faceX + 6, s.nearFrontY = 46, s.farFrontX = faceX + 10, s.farFrontY = 46;
        s.nearHindY = 92, s.farHindY = 94;
        break;
    case 2: // head and chest over, elbows on top
        s.bodyX = 52, s.bodyY = 58, s.bodyTurn = -70;
        s.headX = 62, s.headY = 34, s.headTilt = 0, s.lookY = 0;
        s.nearFrontX = faceX + 14, s.nearFrontY = 52, s.farFrontX = faceX + 10, s.farFrontY = 52;
        s.nearHindX = faceX - 2, s.nearHindY = 88, s.farHindX = faceX - 4, s.farHindY = 86;
        break;
    case 3: // front half on top, a hind paw scrabbling
        s.bodyX = 54, s.bodyY = 58, s.bodyTurn = -35;
        s.headX = 72, s.headY = 40, s.headTilt = 0, s.lookY = 0;
        s.frontOver = 0;
        s.nearFrontX = 78, s.nearFrontY = 66, s.farFrontX = 74, s.farFrontY = 66;
        s.nearHindX = 52, s.nearHindY = 82, s.farHindX = 48, s.farHindY = 84;
        s.tailAngle = 20;
        break;
    default: { // up, hind paws coming over the edge
        s = BasePoses::standing();
        s.bodyX += 4, s.headX += 4;
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
