// Picking the cat up, dangling it from the pointer like a pendulum, dropping it, and noticing
// a vigorous shake of the pointer.

#include "cat/CatOverlay.h"
#include "platform/Panel.h"
#include "platform/Pointer.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"

#include <cmath>
#include <numbers>

using K = Activity::Kind;

namespace {

constexpr double pi = std::numbers::pi;
constexpr double maxAngle = 22;      // degrees either side
constexpr double pendulum = 55;      // points from the hang point to the body
constexpr double gravity = 2400;     // points per second squared
constexpr double drive = 0.45;       // how strongly sideways pointer acceleration swings it
constexpr double grabSeconds = 0.35; // the grab frame shows this long after the pick-up

constexpr CatSprite::Case swingFrames[5] = {CatSprite::heldSwing1, CatSprite::heldSwing2,
                                            CatSprite::heldSwing3, CatSprite::heldSwing4,
                                            CatSprite::heldSwing5};
constexpr CatSprite::Case angryFrames[4] = {CatSprite::heldAngry1, CatSprite::heldAngry2,
                                            CatSprite::heldAngry3, CatSprite::heldAngry4};

double clampAccel(double a) {
    return std::clamp(a, -20000.0, 20000.0);
}

} // namespace

bool CatOverlay::pickUp(QPointF at) {
    if (activity.is(K::away) || activity.is(K::reading)) return false;
    const double t = now();
    // Picked out of the bed, the cat leaves it for good; the empty bed shows again.
    if (bedLife_.lying()) {
        bedLife_.moveOut();
        bedPlace_.show();
    }
    platform = Platform::floor();
    state.setCaption(std::nullopt);
    cursor = at;
    dangle = Dangle{};
    dangle.lastCursor = at;
    dangle.lastMove = t;
    dangle.angryStart = t;
    start(Activity::held(), t);
    return true;
}

void CatOverlay::drop() {
    if (!activity.is(K::held)) return;
    const double t = now();
    suppressTapUntil = t + 0.3; // the tap that comes with the release
    if (const std::optional<Rect> bed = bedPlace_.frame()) {
        const Rect& f = *bed;
        const Rect grown{f.x - 10, f.y - 10, f.width + 20, f.height + 20};
        if (grown.contains(QPointF(x, feetY + 30))) {
            landInBed(t);
            return;
        }
    }
    fallingPast.reset();
    start(Activity::falling(0), t);
}

void CatOverlay::stepDangle(double dt, double t) {
    if (!(dt > 0)) return;
    Dangle& d = dangle;

    // Smoothed pointer velocity and acceleration.
    // Engine dates count whole milliseconds, so at a steady frame rate dt takes one of two
    // values: the smoothing factors of the last two are kept.
    SmoothingFactors* k = nullptr;
    for (SmoothingFactors& slot : smoothing)
        if (slot.dt == dt) k = &slot;
    if (!k) {
        k = &smoothing[nextSmoothingSlot];
        nextSmoothingSlot = 1 - nextSmoothingSlot;
        *k = SmoothingFactors{dt, 1 - std::exp(-dt / 0.075), 1 - std::exp(-dt / 0.047)};
    }
    const double kv = k->velocity;
    const double ka = k->accel;
    const double perSecond = 1 / dt;
    const QPointF moved = cursor - d.lastCursor;
    d.lastCursor = cursor;
    const QPointF v = d.velocity + (moved * perSecond - d.velocity) * kv;
    const QPointF raw = (v - d.velocity) * perSecond;
    d.velocity = v;
    d.accel += (QPointF(clampAccel(raw.x()), clampAccel(raw.y())) - d.accel) * ka;

    // A damped pendulum driven by the pointer's sideways acceleration.
    const double theta = d.angle * pi / 180;
    const double angular = ((drive * d.accel.x() / pendulum) * std::cos(theta) -
                            (gravity / pendulum) * std::sin(theta)) *
                               180 / pi -
                           4.5 * d.spin;
    d.spin += dt * angular;
    d.angle = std::clamp(d.angle + dt * d.spin, -maxAngle, maxAngle);
    if (std::abs(d.angle) == maxAngle) d.spin /= 2;

    // A stiff spring stretches the body when the pointer is jerked up or down.
    d.stretchSpeed += dt * (0.0006 * d.accel.y() - 250 * (d.stretch - 1) - 18 * d.stretchSpeed);
    d.stretch = std::clamp(d.stretch + dt * d.stretchSpeed, 0.9, 1.15);

    if (std::abs(d.angle) < 6 && std::abs(d.spin) < 15) {
        if (!d.settledSince) d.settledSince = t;
    } else {
        d.settledSince.reset();
    }
    // Left hanging still, it grows annoyed; moving the pointer calms it (onCarry).
    if (!d.angry && d.settledSince && t - d.lastMove > 0.8 && t - *d.settledSince > 0.3) {
        d.angry = true;
        d.angryStart = t;
    }

    if (d.angry) {
        const int k = int((t - d.angryStart) * 7) % 4;
        if (k != d.angryFrame) {
            // Kicks to alternate sides.
            if (k == 1) d.spin -= sys.random.uniform(15, 25);
            if (k == 3) d.spin += sys.random.uniform(15, 25);
            d.angryFrame = k;
        }
        d.sprite = angryFrames[k];
    } else if (t - activityStart < grabSeconds) {
        d.sprite = CatSprite::heldSwing6;
    } else {
        d.angryFrame = -1;
        // Swinging one way shows the frames below the middle one, the other way those above;
        // the 0.6 margin keeps the frame from flickering between two.
        const double target = std::clamp(2 - d.spin / 45, 0.0, 4.0);
        if (std::abs(target - d.swingIndex) > 0.6) d.swingIndex = int(std::round(target));
        d.sprite = swingFrames[d.swingIndex];
    }
}

void CatOverlay::hang(double t, double dt) {
    const QPointF hp = CatSprite::geometry(dangle.sprite).hangPoint;
    // The hang point 4 points below the pointer; the canvas is 96 wide, its bottom 16 below
    // the feet.
    const double tx = cursor.x() + 48 - hp.x();
    const double ty = cursor.y() - 4 + 16 - hp.y();
    // Just after the pick-up the cat eases over to the pointer (40 % a frame at 60 Hz).
    const double f = t - activityStart < 0.15 ? 1 - std::pow(0.6, dt * 60) : 1;
    x += (tx - x) * f;
    feetY += (ty - feetY) * f;
}

void CatOverlay::landInBed(double t) {
    bedLife_.moveIn();
    getIntoBed(t);
}

void CatOverlay::trackShake(double t) {
    const double px = sys.pointer.location().x();
    if (!cursorTrail.empty()) trailTravel += std::abs(px - cursorTrail.back().x);
    cursorTrail.push_back(TrailPoint{t, px});
    std::size_t old = 0;
    while (old < cursorTrail.size() && t - cursorTrail[old].time > 0.7) {
        if (old + 1 < cursorTrail.size())
            trailTravel -= std::abs(cursorTrail[old + 1].x - cursorTrail[old].x);
        ++old;
    }
    if (old) cursorTrail.erase(cursorTrail.begin(), cursorTrail.begin() + std::ptrdiff_t(old));
    if (cursorTrail.size() < 2) trailTravel = 0; // no rounding drift carried along
    // The long swings add up to at most the whole way travelled; under 700 (with a margin
    // for rounding) there is no shake to find.
    if (trailTravel < 699) return;

    // Successive moves of one direction make a run; count the long runs.
    int runs = 0;
    double total = 0;
    double run = 0;
    const auto close = [&] {
        if (std::abs(run) >= 40) {
            ++runs;
            total += std::abs(run);
        }
    };
    for (std::size_t i = 1; i < cursorTrail.size(); ++i) {
        const double d = cursorTrail[i].x - cursorTrail[i - 1].x;
        if (d == 0) continue;
        if (run != 0 && (d > 0) != (run > 0)) {
            close();
            run = d;
        } else {
            run += d;
        }
    }
    close();
    if (runs >= 5 && total >= 700) {
        shakenAt = t;
        cursorTrail.clear();
        trailTravel = 0;
    }
}
