// Climbing window faces, pulling over their tops, hopping between tops, climbing back down and
// falling when the surface under the cat goes away. Which window, where a fall lands and whether
// the footing holds are the Climbing component's answers; here the cat moves.

#include "cat/CatOverlay.h"

#include <cmath>

using K = Activity::Kind;

namespace {

constexpr double climbSpeed = 110; // points per second, up or down
constexpr double climbSteps = 6;   // climb animation steps per second
constexpr double gravity = 2400;   // points per second squared
constexpr double overStep = 0.28;  // seconds per pull-over frame

// Pulling over a top edge: each frame and how far the cat has risen above the edge by then,
// as a share of the frame's opaque height.
struct OverStep {
    CatSprite::Case sprite;
    double rise;
};
constexpr OverStep pullOver[4] = {{CatSprite::over1, 0.18},
                                  {CatSprite::over2, 0.38},
                                  {CatSprite::over3, 0.55},
                                  {CatSprite::over4, 1.0}};

// The climbing frame decides how the cat is placed against a window face.
const Rect& climbBounds() {
    return CatSprite::geometry(CatSprite::climb1).bounds;
}

// Feet height at pull-over step i over a top edge at y.
double overFeet(double top, int i) {
    const Rect& b = CatSprite::geometry(pullOver[i].sprite).bounds;
    return top + 16 + (pullOver[i].rise * b.height - b.maxY());
}

} // namespace

void CatOverlay::arriveTransfer(const DesktopWindow& to, double t) {
    const DesktopWindow* target = findWindow(to.id);
    const DesktopWindow* own = platform.window();
    std::optional<double> spot;
    if (target && target->frame == to.frame && own) spot = standingSpot(*target, x);
    if (!spot) {
        start(Activity::idle(), t);
        return;
    }
    state.setFacingRight(x < *spot);
    const double top = to.frame.maxY();
    const double d = top - feetY;
    if (d < -60) {
        // Far below: climb down the own window's face and step across.
        const DesktopWindow* fresh = findWindow(own->id);
        start(Activity::lowering(fresh ? *fresh : *own, to), t);
        return;
    }
    platform = Platform::floor(); // in the air
    const QPointF from(x, feetY);
    if (d <= 60)
        start(Activity::jumping(from, QPointF(*spot, top), Landing::top(to), true), t);
    else // a level hop to the face, then a climb
        start(Activity::jumping(from, QPointF(*spot, feetY), Landing::climb(to), true), t);
}

void CatOverlay::getDown(const DesktopWindow& from, double t) {
    const DesktopWindow* fresh = findWindow(from.id);
    start(Activity::lowering(fresh ? *fresh : from, std::nullopt), t);
}

const DesktopWindow* CatOverlay::heldFace() const {
    switch (activity.kind()) {
    case K::climbingUp:
        return &activity.as<activity::ClimbingUp>()->window;
    case K::pullingUp:
        return &activity.as<activity::PullingUp>()->window;
    case K::lowering:
        return &activity.as<activity::Lowering>()->window;
    case K::climbingDown:
        return &activity.as<activity::ClimbingDown>()->window;
    default:
        return nullptr;
    }
}

void CatOverlay::letGo(quint32 window, double t) {
    platform = Platform::floor();
    climbing_.letGo(window);
    state.setReading(std::nullopt);
    start(Activity::falling(0), t);
}

void CatOverlay::checkPlatform(double t) {
    bool onTop = false;
    DesktopWindow held;
    switch (activity.kind()) {
    case K::falling:
    case K::jumping:
    case K::pouncing:
    case K::catching:
    case K::held:
        return;
    default:
        if (const DesktopWindow* face = heldFace()) {
            held = *face;
        } else {
            if (!platform.window()) return;
            held = *platform.window();
            onTop = true;
        }
        break;
    }

    const Climbing::Footing footing = climbing_.footing(held, onTop, x);
    switch (footing.kind) {
    case Climbing::Footing::Kind::holds:
        break;
    case Climbing::Footing::Kind::ride: {
        const DesktopWindow& resized = footing.window;
        platform = Platform::on(resized);
        feetY = resized.frame.maxY();
        x = footing.x;
        if (const auto* walk = activity.as<activity::Walking>()) {
            const std::optional<double> target = standingSpot(resized, walk->to);
            if (!target || *target != walk->to) start(Activity::idle(), t);
        }
        break;
    }
    case Climbing::Footing::Kind::fall:
        letGo(held.id, t);
        break;
    }
}

void CatOverlay::stepClimbing(double t, double dt, double e) {
    switch (activity.kind()) {
    case K::climbingUp: {
        const DesktopWindow w = activity.as<activity::ClimbingUp>()->window;
        stepPhase += climbSteps * dt;
        feetY += climbSpeed * dt;
        // The sprite's top has reached the window's top.
        if (w.frame.maxY() <= feetY - 16 + climbBounds().maxY()) start(Activity::pullingUp(w), t);
        break;
    }
    case K::pullingUp: {
        const DesktopWindow w = activity.as<activity::PullingUp>()->window;
        const int i = int(e / overStep);
        if (i <= 3) {
            feetY = overFeet(w.frame.maxY(), i);
        } else if (const std::optional<double> across = desktop_.acrossFace(w.id)) {
            // Up a step between monitors: a level hop from the seam onto the higher floor.
            feetY = w.frame.maxY();
            platform = Platform::floor();
            state.setFacingRight(*across > x);
            start(Activity::jumping(QPointF(x, feetY), QPointF(*across, feetY), Landing::floor(),
                                    false),
                  t);
        } else {
            feetY = w.frame.maxY();
            platform = Platform::on(w);
            holding_.beHappyUntil(t + 0.6);
            start(Activity::idle(), t);
        }
        break;
    }
    case K::lowering: {
        const activity::Lowering l = *activity.as<activity::Lowering>();
        const int i = 3 - int(e / overStep); // the pull-over played backwards
        if (i >= 0) {
            feetY = overFeet(l.window.frame.maxY(), i);
        } else {
            feetY = l.window.frame.maxY() + 16 - climbBounds().maxY();
            platform = Platform::floor();
            start(Activity::climbingDown(l.window, l.onto), t);
        }
        break;
    }
    case K::climbingDown: {
        const activity::ClimbingDown c = *activity.as<activity::ClimbingDown>();
        stepPhase += climbSteps * dt;
        feetY -= climbSpeed * dt;
        const double bottom = feetY - 16 + climbBounds().minY();
        if (!c.onto) {
            // A face that ends above the floor: at its bottom edge the cat lets go.
            if (bottom <= c.window.frame.minY() &&
                !Climbing::faceReaches(c.window.frame, floorY())) {
                start(Activity::falling(0), t);
                break;
            }
            if (bottom <= floorY()) {
                feetY = floorY();
                start(Activity::idle(), t);
            }
            break;
        }
        const DesktopWindow& onto = *c.onto;
        if (bottom > onto.frame.maxY()) break;
        const DesktopWindow* current = findWindow(onto.id);
        std::optional<double> spot;
        if (current && current->frame == onto.frame) spot = standingSpot(onto, x);
        if (!spot) {
            start(Activity::falling(0), t);
            break;
        }
        // Level with the lower top: step across onto it.
        const double top = onto.frame.maxY();
        feetY = top;
        state.setFacingRight(x < *spot);
        start(Activity::jumping(QPointF(x, top), QPointF(*spot, top), Landing::top(onto), false),
              t);
        break;
    }
    case K::falling: {
        const Surface below = climbing_.landingSurface(x, feetY);
        const std::optional<double> bed = bedBelow(below);
        auto* f = activity.as<activity::Falling>();
        const double v = f->speed - gravity * dt;
        feetY += dt * v;
        if (!bed && below.y >= feetY) {
            feetY = below.y;
            platform = below.window ? Platform::on(*below.window) : Platform::floor();
            // Over the gap between two monitors it lands on the nearer one's floor, in view.
            if (!below.window && desktop_.monitors().size() > 1 &&
                desktop_.monitorUnder(x, feetY) < 0)
                x = desktop_.clampInto(desktop_.monitorNear(x, feetY), x, 48);
            climbing_.landed();
            start(Activity::landing(), t);
        } else if (bed && *bed >= feetY) {
            climbing_.landed();
            landInBed(t);
        } else {
            f->speed = v; // in place: the fall keeps its start
        }
        break;
    }
    case K::jumping: {
        const activity::Jumping j = *activity.as<activity::Jumping>();
        const double duration =
            std::hypot(j.to.x() - j.from.x(), j.to.y() - j.from.y()) / 1400 + 0.4;
        const double dy = j.to.y() - j.from.y();
        const double s = j.crouch ? e - 0.2 : e;
        if (s >= duration) {
            landJump(j, t);
        } else if (s > 0) {
            const double h = dy >= 0 ? dy * 0.6 + 30 : 30;
            const double p = s / duration;
            x = j.from.x() + (j.to.x() - j.from.x()) * p;
            feetY = j.from.y() + dy * p + 4 * h * p * (1 - p);
        }
        break;
    }
    default:
        break;
    }
}

void CatOverlay::landJump(const activity::Jumping& j, double t) {
    x = j.to.x();
    feetY = j.to.y();
    const auto unchanged = [&] {
        const DesktopWindow* w = findWindow(j.then.window.id);
        return w && w->frame == j.then.window.frame;
    };
    switch (j.then.kind) {
    case Landing::Kind::top:
        if (!unchanged()) {
            start(Activity::falling(0), t);
            return;
        }
        platform = Platform::on(j.then.window);
        holding_.pop(t);
        start(Activity::idle(), t);
        break;
    case Landing::Kind::climb:
        if (!unchanged()) {
            start(Activity::falling(0), t);
            return;
        }
        feetY = j.to.y() + 16 - climbBounds().minY();
        start(Activity::climbingUp(j.then.window), t);
        break;
    case Landing::Kind::bed:
        getIntoBed(t);
        break;
    case Landing::Kind::floor:
        platform = Platform::floor();
        holding_.pop(t);
        start(Activity::idle(), t);
        break;
    }
}
