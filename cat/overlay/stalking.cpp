// Hunting a still pointer: stalking it, the pounce, and carrying the caught pointer down. Whether
// the pointer is prey and the held pointer are the Hunting component's.

#include "cat/CatOverlay.h"
#include "platform/Pointer.h"

#include <cmath>

using K = Activity::Kind;

namespace {

constexpr double gravity = 2400; // points per second squared, as in a fall

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

bool CatOverlay::huntIfPrey(double t) {
    if (systemSignals_.inCall() && !focusPhase_.focusing()) return false;
    const std::optional<QPointF> p = hunting_.huntNow(t, holding_.shaken(t), QPointF(x, feetY));
    if (!p) return false;
    holding_.forgetShake();
    state.setFacingRight(x < p->x());
    start(Activity::stalking(*p), t);
    return true;
}

void CatOverlay::holdCursor() {
    hunting_.holdPointer(Hunting::paw(QPointF(x, feetY), state.facingRight()));
}

void CatOverlay::stepHunt(double t, double dt, double elapsed) {
    switch (activity.kind()) {
    case K::stalking: {
        if (!hunting_.prey(0, QPointF(x, feetY)) || hunting_.stalkedTooLong(t)) {
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
        if (distance(sys.pointer.location(),
                     Hunting::paw(QPointF(x, feetY), state.facingRight())) <= 12 &&
            !sys.pointer.anyButtonPressed()) {
            holdCursor();
            start(Activity::catching(0), t);
        } else {
            start(Activity::falling(0), t); // missed, or the user holds a button
        }
        break;
    }
    case K::catching: {
        const double v = activity.as<activity::Catching>()->speed;
        if (hunting_.pulledAway()) {
            // The user pulled the pointer away: an ordinary fall, same clock.
            hunting_.letPointerGo();
            activity = Activity::falling(v);
            return;
        }
        const Surface below = climbing_.landingSurface(x, feetY);
        const std::optional<double> bed = bedBelow(below);
        const double v2 = v - gravity * dt;
        feetY += v2 * dt;
        if (bed && *bed >= feetY) {
            holdCursor();
            hunting_.letPointerGo();
            landInBed(t);
            holding_.beHappyUntil(t + 1.5);
        } else if (!bed && below.y >= feetY) {
            feetY = below.y;
            platform = below.window ? Platform::on(*below.window) : Platform::floor();
            holdCursor();
            hunting_.letPointerGo();
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
