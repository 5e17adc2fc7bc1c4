#include "art/BasePoses.h"

namespace BasePoses {

Pose standing() {
    Pose s;
    s.bodyX = 43, s.bodyY = 58, s.bodyW = 24, s.bodyH = 15.5, s.bodyTurn = -3;
    s.headX = 68, s.headY = 40;
    s.tailAngle = 55, s.tailBend = 55, s.tailLength = 26;
    s.farFrontX = 59, s.nearFrontX = 63, s.farHindX = 28, s.nearHindX = 32;
    s.farFrontY = s.nearFrontY = s.farHindY = s.nearHindY = feetLine;
    return s;
}

Pose sitting() {
    Pose s;
    s.bodyX = 45, s.bodyY = 60, s.bodyW = 20, s.bodyH = 17, s.bodyTurn = -62;
    s.headX = 58, s.headY = 33;
    s.tailAngle = 66, s.tailBend = 70, s.tailLength = 26;
    s.farFrontX = 57, s.nearFrontX = 61, s.farHindX = 40, s.nearHindX = 45;
    s.farFrontY = s.nearFrontY = s.farHindY = s.nearHindY = feetLine;
    return s;
}

Pose bedStill() {
    Pose s;
    s.bed = 1;
    s.bodyX = 44, s.bodyY = 71, s.bodyW = 25, s.bodyH = 13, s.bodyTurn = 0;
    s.headX = 64, s.headY = 56;
    s.tailAngle = 40, s.tailBend = 75, s.tailLength = 20;
    // Front paws rest on the rim; the hind legs are tucked away inside the bed.
    s.frontOver = 1;
    s.farFrontX = 62, s.farFrontY = 80, s.nearFrontX = 70, s.nearFrontY = 81;
    s.farHindX = 30, s.farHindY = 80, s.nearHindX = 34, s.nearHindY = 80;
    return s;
}

Pose bedPhone() {
    Pose s = bedStill();
    s.headX = 62, s.headY = 57, s.headTilt = 8;
    s.lookX = 0.9, s.lookY = 1.2, s.eyesOpen = 0.8;
    // Held up by its lower end, screen towards the face.
    s.phone = 1, s.phoneX = 79, s.phoneY = 64, s.phoneTurn = -16, s.phoneGlow = 1;
    s.nearFrontX = 75, s.nearFrontY = 79;
    return s;
}

} // namespace BasePoses
