#include "art/BasePoses.h"
#include "art/CatPainter.h"
#include "art/Families.h"

// The cat's own snack: it looks about, digs a fish biscuit out from behind, admires it and
// eats it in two chewy bites.
namespace {

Pose fetch(int n) {
    Pose s = BasePoses::sitting();
    switch (n) {
    case 1: // a glance over the shoulder
        s.headTilt = -6, s.lookX = -1.4, s.lookY = -0.5;
        s.tailAngle -= 15;
        break;
    case 2: // turns to look behind
        s.headX -= 6, s.headTilt = -14, s.lookX = -1.8;
        s.earsBack = 0.2;
        break;
    case 3: // digs behind with a front paw
        s.headX -= 8, s.headY += 3, s.headTilt = 12, s.lookX = -1.5, s.lookY = 1.2;
        s.frontOver = 1, s.nearFrontX = 30, s.nearFrontY = 62;
        break;
    case 4: // out it comes
        s.headX -= 4, s.headTilt = 4, s.lookX = 0, s.lookY = 1;
        s.frontOver = 1, s.nearFrontX = 50, s.nearFrontY = 58;
        s.treat = 1, s.treatX = 52, s.treatY = 50;
        break;
    case 5: // admires it
        s.eyesOpen = 1.15, s.lookX = 1.2, s.lookY = 1.3, s.headTilt = 8;
        s.frontOver = 1, s.nearFrontX = 68, s.nearFrontY = 58;
        s.treat = 1, s.treatX = 72, s.treatY = 50;
        s.blush = 1.6;
        break;
    default: // to the mouth
        s.headTilt = 4, s.mouthOpen = 0.6, s.lookY = 1;
        s.frontOver = 1, s.nearFrontX = 66, s.nearFrontY = 52;
        s.treat = 1, s.treatX = 69, s.treatY = 43;
        break;
    }
    return s;
}

Pose eat(int n) {
    Pose s = BasePoses::sitting();
    s.lookY = 0.6;
    const QPointF mouth = CatPainter::onHead(s, {10, 9});
    switch (n) {
    case 1: // first bite
        s.mouthOpen = 0.7, s.headTilt = 6;
        s.treat = 1, s.treatX = mouth.x() + 3, s.treatY = mouth.y() + 4;
        s.frontOver = 1, s.nearFrontX = 62, s.nearFrontY = 60;
        break;
    case 2: // chewing
    case 4:
        s.chew = 1, s.eyesHappy = 1, s.headTilt = n == 2 ? -4 : 4;
        s.headY += n == 2 ? 0 : 1;
        break;
    case 3: // second bite
        s.mouthOpen = 0.8, s.headTilt = 10, s.headY += 2;
        s.treat = 1, s.treatX = mouth.x() + 2, s.treatY = mouth.y() + 8;
        s.frontOver = 1, s.nearFrontX = 62, s.nearFrontY = 62;
        break;
    case 5: // licks its lips
        s.mouthOpen = 0.3, s.eyesOpen = 0, s.headTilt = -8;
        break;
    default: // content
        s.eyesHappy = 1, s.blush = 1.8, s.headTilt = -6;
        s.tailAngle -= 10;
        break;
    }
    return s;
}

} // namespace

namespace Families {

std::optional<Pose> snacking(const FrameName& name) {
    if (name.stem == u"snack_get") return fetch(name.number);
    if (name.stem == u"snack_eat") return eat(name.number);
    return std::nullopt;
}

} // namespace Families
