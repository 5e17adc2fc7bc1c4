// Hunting a still pointer: stalking it, the pounce, and carrying the caught pointer down.

#include "cat/CatOverlay.h"
#include "platform/InputIdle.h"
#include "platform/Pointer.h"
#include "platform/Screens.h"

#include <cmath>

using K = Activity::Kind;

namespace {

constexpr double gravity = 2400; // points per second squared, as in a fall

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

std::optional<QPointF> CatOverlay::prey(double stillFor) const {
    if (!sys.screens.hasScreen()) return std::nullopt;
    if (sys.pointer.anyButtonPressed()) return std::nullopt;
    if (sys.inputIdle.secondsSinceMouseMoved() < stillFor) return std::nullopt;
    const QPointF p = sys.pointer.location();
    if (!screenFrame().contains(p)) return std::nullopt;
    if (distance(p, QPointF(x, feetY + 32)) <= 50) return std::nullopt;
    return p;
}

bool CatOverlay::huntIfPrey(double t) {
    if (systemSignals_.inCall() && !focusing) return false;
    const bool shaken = holding_.shaken(t);
    double stillness;
    if (t >= nextHunt)
        stillness = shaken ? 0.25 : 4;
    else if (shaken)
        stillness = 0.25;
    else
        return false;
    const std::optional<QPointF> p = prey(stillness);
    if (!p) return false;
    holding_.forgetShake();
    nextHunt = t + r(120, 300);
    state.setFacingRight(x < p->x());
    stalkStart = t;
    start(Activity::stalking(*p), t);
    return true;
}

QPointF CatOverlay::pawPoint() const {
    return QPointF(state.facingRight() ? x + 15 : x - 15, feetY + 42);
}

void CatOverlay::holdCursor() {
    if (!sys.screens.hasScreen()) return;
    const QPointF paw = pawPoint();
    sys.pointer.warp(paw);
    heldCursorAt = paw;
}

void CatOverlay::stepHunt(double t, double dt, double elapsed) {
    switch (activity.kind()) {
    case K::stalking: {
        if (!prey(0) || t - stalkStart > 6) {
            start(Activity::idle(), t);
            return;
        }
        const QPointF p = sys.pointer.location();
        const QPointF target = activity.as<activity::Stalking>()->prey;
        if (distance(p, target) > 3) {
            // It moved: a new crouch on the new spot.
            state.setFacingRight(x < p.x());
            start(Activity::stalking(p), t);
        } else if (elapsed > 1.6) {
            platform = Platform::floor();
            const QPointF to(state.facingRight() ? target.x() - 15 : target.x() + 15,
                             target.y() - 42);
            start(Activity::pouncing(QPointF(x, feetY), to), t);
        }
        break;
    }
    case K::pouncing: {
        const activity::Pouncing p = *activity.as<activity::Pouncing>();
        const QPointF d = p.to - p.from;
        const double duration = std::hypot(d.x(), d.y()) / 1400 + 0.4;
        if (elapsed < duration) {
            const double a = elapsed / duration;
            x = p.from.x() + d.x() * a;
            feetY = p.from.y() + d.y() * a + (1 - a) * a * 4 * (std::max(d.y(), 0.0) * 0.6 + 30);
            return;
        }
        x = p.to.x();
        feetY = p.to.y();
        climbing_.landed();
        if (distance(sys.pointer.location(), pawPoint()) <= 12 && !sys.pointer.anyButtonPressed()) {
            holdCursor();
            start(Activity::catching(0), t);
        } else {
            start(Activity::falling(0), t); // missed, or the user holds a button
        }
        break;
    }
    case K::catching: {
        const double v = activity.as<activity::Catching>()->speed;
        if (heldCursorAt && distance(sys.pointer.location(), *heldCursorAt) > 3) {
            // The user pulled the pointer away: an ordinary fall, same clock.
            heldCursorAt.reset();
            activity = Activity::falling(v);
            return;
        }
        const Surface below = climbing_.landingSurface(x, feetY);
        const std::optional<double> bed = bedBelow(below);
        const double v2 = v - gravity * dt;
        feetY += v2 * dt;
        if (bed && *bed >= feetY) {
            holdCursor();
            heldCursorAt.reset();
            landInBed(t);
            holding_.beHappyUntil(t + 1.5);
        } else if (!bed && below.y >= feetY) {
            feetY = below.y;
            platform = below.window ? Platform::on(*below.window) : Platform::floor();
            holdCursor();
            heldCursorAt.reset();
            holding_.beHappyUntil(t + 1.5);
            start(Activity::landing(), t);
        } else {
            activity.as<activity::Catching>()->speed = v2;
            holdCursor();
        }
        break;
    }
    default:
        break;
    }
}
