#include "art/BasePoses.h"
#include "art/CatPainter.h"
#include "art/Families.h"

#include <QTransform>

// Dangling from the pointer by the scruff. The tuft on the nape is the highest opaque part of
// every held frame, so the hang point lands on it and not on an ear.
namespace {

QPointF turned(QPointF p, QPointF about, double degrees) {
    QTransform t;
    t.translate(about.x(), about.y());
    t.rotate(degrees);
    t.translate(-about.x(), -about.y());
    return t.map(p);
}

// Swings the whole cat about the point it hangs from.
void swingAbout(Pose& s, QPointF about, double degrees) {
    auto move = [&](double& x, double& y) {
        const QPointF p = turned({x, y}, about, degrees);
        x = p.x(), y = p.y();
    };
    move(s.bodyX, s.bodyY);
    move(s.headX, s.headY);
    move(s.farFrontX, s.farFrontY);
    move(s.nearFrontX, s.nearFrontY);
    move(s.farHindX, s.farHindY);
    move(s.nearHindX, s.nearHindY);
    s.bodyTurn += degrees;
    s.headTilt += degrees;
}

Pose dangling() {
    // Limp: body straight down from the nape, head hanging forward below it, legs dangling.
    Pose s = BasePoses::standing();
    s.scruff = 1;
    // The nape sits over the weight of body and big head, so the cat hangs nearly upright.
    s.bodyX = 44, s.bodyY = 45, s.bodyW = 23, s.bodyH = 14, s.bodyTurn = -78;
    s.headX = 57, s.headY = 51, s.headTilt = 18;
    s.earsBack = 0.6;
    s.farFrontX = 52, s.farFrontY = 72, s.nearFrontX = 56, s.nearFrontY = 74;
    s.farHindX = 38, s.farHindY = 88, s.nearHindX = 43, s.nearHindY = 90;
    s.tailAngle = 10, s.tailBend = -20, s.tailLength = 20;
    s.lookY = 0.8;
    return s;
}

// The top of the scruff tuft, where the cat hangs.
QPointF nape(const Pose& s) {
    return CatPainter::onBody(s, {s.bodyW * 0.8 + 8, -s.bodyH * 0.25});
}

Pose swing(int n) {
    Pose s = dangling();
    if (n == 6) { // the grab: startled, legs spread
        s.eyesOpen = 1.2, s.mouthOpen = 0.35, s.earsBack = 0.8;
        s.farFrontX = 66, s.farFrontY = 66, s.nearFrontX = 70, s.nearFrontY = 70;
        s.farHindX = 28, s.farHindY = 84, s.nearHindX = 56, s.nearHindY = 88;
        s.tailAngle = 40;
        return s;
    }
    // 1 swings to one side, 3 hangs straight, 5 swings to the other; legs and tail trail.
    const double lean = (n - 3) / 2.0;
    s.farFrontX -= 4 * lean, s.nearFrontX -= 4 * lean;
    s.farHindX -= 7 * lean, s.nearHindX -= 7 * lean;
    s.tailAngle += 35 * lean;
    s.lookX = 0.6 - 1.2 * lean;
    swingAbout(s, nape(s), -16 * lean);
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
