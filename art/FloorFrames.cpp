#include "art/BasePoses.h"
#include "art/Families.h"

// Single poses on the floor: sitting, pleased, stroked, sleeping, yawning, waving, gulping,
// hunting, falling and landing.
namespace {

Pose sit(bool letter, bool blink) {
    Pose s = BasePoses::sitting();
    if (letter) {
        s.letter = 1;
        s.headTilt = -4;
    }
    if (blink) s.eyesOpen = 0;
    return s;
}

Pose happy() {
    Pose s = BasePoses::sitting();
    s.eyesHappy = 1;
    s.headTilt = -8;
    s.headY -= 1;
    s.tailAngle = 78, s.tailBend = 80;
    s.blush = 1.6;
    return s;
}

Pose pet(bool letter) {
    Pose s = BasePoses::sitting();
    s.eyesHappy = 1;
    s.headTilt = 10;
    s.headX -= 2, s.headY += 1;
    s.earsBack = 0.35;
    s.blush = 1.8;
    s.letter = letter ? 1 : 0;
    return s;
}

Pose sleep() {
    // Curled up: a round loaf with the head tucked on the front paws and the tail around.
    Pose s = BasePoses::standing();
    s.bodyX = 46, s.bodyY = 66, s.bodyW = 26, s.bodyH = 14, s.bodyTurn = 0;
    s.headX = 66, s.headY = 63, s.headTilt = 18;
    s.eyesOpen = 0;
    s.earsBack = 0.2;
    s.farFrontX = 70, s.nearFrontX = 74, s.farHindX = 30, s.nearHindX = 34;
    s.tailAngle = -5, s.tailBend = 110, s.tailLength = 22;
    return s;
}

Pose yawn() {
    Pose s = BasePoses::sitting();
    s.headTilt = -16;
    s.headY -= 2;
    s.eyesOpen = 0;
    s.mouthOpen = 1;
    s.earsBack = 0.3;
    return s;
}

Pose wave(int n) {
    Pose s = BasePoses::sitting();
    s.eyesHappy = 1;
    s.nearFrontX = n == 1 ? 82 : 86;
    s.nearFrontY = n == 1 ? 40 : 32;
    s.headTilt = n == 1 ? -4 : 2;
    s.tailAngle += n == 1 ? 0 : 20;
    return s;
}

Pose gulp() {
    Pose s = BasePoses::sitting();
    s.mouthOpen = 1;
    s.headTilt = -10;
    s.eyesOpen = 1.1;
    return s;
}

Pose huntAmbush() {
    // Low to the ground, rump up, eyes fixed ahead.
    Pose s = BasePoses::standing();
    s.bodyX = 42, s.bodyY = 66, s.bodyH = 13.5, s.bodyTurn = 4;
    s.headX = 70, s.headY = 58, s.headTilt = 0;
    s.earsBack = 0.5;
    s.lookX = 1.2;
    // The tail low and back, its tip curled up so it stays clear of the canvas edge.
    s.tailAngle = 30, s.tailBend = 50, s.tailLength = 20;
    s.farFrontX = 64, s.nearFrontX = 68, s.farHindX = 26, s.nearHindX = 30;
    return s;
}

Pose huntPounce() {
    Pose s = BasePoses::standing();
    s.bodyX = 38, s.bodyY = 54, s.bodyW = 26, s.bodyH = 13, s.bodyTurn = -14;
    s.headX = 62, s.headY = 38;
    s.lookX = 1.2, s.lookY = -0.8;
    s.farFrontX = 82, s.farFrontY = 30, s.nearFrontX = 86, s.nearFrontY = 36;
    s.farHindX = 12, s.farHindY = 74, s.nearHindX = 16, s.nearHindY = 78;
    s.tailAngle = 70, s.tailBend = 50, s.tailLength = 18;
    return s;
}

Pose huntCaught() {
    // Up on the hind legs, both front paws pinning the pointer 42 points above the feet.
    Pose s = BasePoses::sitting();
    s.bodyX = 47, s.bodyY = 56, s.bodyW = 21, s.bodyH = 15, s.bodyTurn = -70;
    s.headX = 42, s.headY = 29, s.headTilt = 10;
    s.frontOver = 1;
    s.farFrontX = 64, s.farFrontY = 42, s.nearFrontX = 68, s.nearFrontY = 44;
    s.eyesHappy = 1;
    s.blush = 1.5;
    return s;
}

Pose fall() {
    Pose s = BasePoses::standing();
    s.bodyY = 50, s.bodyTurn = 0;
    s.headY = 34, s.headTilt = -6;
    s.eyesOpen = 1.15, s.mouthOpen = 0.5;
    s.earsBack = 0.8;
    s.farFrontX = 74, s.farFrontY = 58, s.nearFrontX = 78, s.nearFrontY = 66;
    s.farHindX = 14, s.farHindY = 60, s.nearHindX = 18, s.nearHindY = 68;
    s.tailAngle = 70, s.tailBend = 20;
    return s;
}

Pose land() {
    Pose s = BasePoses::standing();
    s.bodyY = 66, s.bodyW = 27, s.bodyH = 13;
    s.headY = 52, s.headX = 70;
    s.eyesOpen = 0;
    s.farFrontX = 62, s.nearFrontX = 68, s.farHindX = 24, s.nearHindX = 28;
    s.tailAngle = 35, s.tailBend = 45, s.tailLength = 22;
    return s;
}

} // namespace

namespace Families {

std::optional<Pose> everyday(const FrameName& name) {
    const QString& n = name.stem;
    if (n == u"sit" || n == u"sit_blink" || n == u"sit_letter" || n == u"sit_letter_blink")
        return sit(n.contains(u"letter"), n.endsWith(u"blink"));
    if (n == u"happy") return happy();
    if (n == u"pet" || n == u"pet_letter") return pet(n == u"pet_letter");
    if (n == u"sleep") return sleep();
    if (n == u"yawn") return yawn();
    if (n == u"wave") return wave(name.number);
    if (n == u"gulp") return gulp();
    if (n == u"fall") return fall();
    if (n == u"land") return land();
    if (n == u"hunt") {
        switch (name.number) {
        case 1:
            return huntAmbush();
        case 2:
            return huntPounce();
        case 3:
            return huntCaught();
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace Families
