// Picking the cat up and hanging it from the pointer, strokes, and noticing a vigorous shake of
// the pointer.

#include "cat/Holding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void Holding::pickUp(QPointF at, double t) {
    cursor_ = at;
    dangle_ = Dangle{};
    dangle_.lastCursor = at;
    dangle_.lastMove = t;
    dangle_.angryStart = t;
}

void Holding::carry(QPointF p, double t) {
    // More than 0.5 points away; squared, as this runs for every drag event.
    const double dx = p.x() - cursor_.x(), dy = p.y() - cursor_.y();
    if (dx * dx + dy * dy > 0.25) {
        dangle_.lastMove = t;
        dangle_.angry = false;
    }
    cursor_ = p;
}

QPointF Holding::hang(QPointF feet, double t, double dt, double heldFor) {
    dangle_.step(cursor_, dt, t, heldFor, random);
    const QPointF hp = CatSprite::geometry(dangle_.sprite).hangPoint;
    // The hang point 4 points below the pointer; the canvas is 96 wide, its bottom 16 below
    // the feet.
    const QPointF to(cursor_.x() + 48 - hp.x(), cursor_.y() - 4 + 16 - hp.y());
    // Just after the pick-up the cat eases over to the pointer (40 % a frame at 60 Hz).
    const double f = heldFor < 0.15 ? 1 - std::pow(0.6, dt * 60) : 1;
    return QPointF(feet.x() + (to.x() - feet.x()) * f, feet.y() + (to.y() - feet.y()) * f);
}

Holding::Pose Holding::pose() {
    const CatSprite sprite = dangle_.sprite;
    const CatSprite::Geometry& g = CatSprite::geometry(sprite);
    const QPointF hp = g.hangPoint;
    if (sprite != uprightSprite) {
        // The turn that puts the mass centre straight below the hang point; it only changes
        // with the frame.
        const QPointF mc = g.massCenter;
        uprightSprite = sprite;
        uprightTilt = (180 / std::numbers::pi) * std::atan2(-(mc.x() - hp.x()), -(mc.y() - hp.y()));
    }
    // Drawn to whole degrees and hundredths of stretch (a pixel or so at the tail), so a swing
    // comes back to poses already held and changes the picture less than every frame.
    return Pose{sprite, std::round(dangle_.stretch * 100) / 100,
                std::round(dangle_.angle - uprightTilt), QPointF(hp.x() / 96, 1 - hp.y() / 96),
                QPointF(hp.x() - 48, 96 - hp.y() - 12)};
}

bool Holding::stroke(double dx, double t) {
    strokes.push_back({t, dx});
    strokes.erase(strokes.begin(),
                  std::find_if(strokes.begin(), strokes.end(),
                               [t](const Stroke& s) { return t - s.time <= 1.2; }));
    double travel = 0;
    int turns = 0;
    double lastSign = 0;
    for (const Stroke& s : strokes) {
        travel += std::abs(s.dx);
        // Jitter of half a point or less is no stroke.
        if (std::abs(s.dx) <= 0.5) continue;
        const double sign = s.dx > 0 ? 1 : -1;
        if (lastSign != 0 && sign != lastSign) ++turns;
        lastSign = sign;
    }
    return travel > 40 && turns >= 2;
}

void Holding::trackShake(double px, double t) {
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
        shakenAt_ = t;
        cursorTrail.clear();
        trailTravel = 0;
    }
}
