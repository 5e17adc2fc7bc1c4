// Choosing windows to climb and hop to, where a fall lands, and whether the window under the cat
// still carries it.

#include "cat/Climbing.h"

#include "cat/CatOverlay.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {

// A window top must be this far above the floor to be worth climbing, and this far below the
// top of the visible frame to leave room for the cat.
constexpr double worthClimbing = 80;
constexpr double headroom = 110;

bool climbable(const Rect& f, double floor, const Rect& visible) {
    const double top = f.maxY();
    return top - floor >= worthClimbing && top <= visible.maxY() - headroom;
}

constexpr double hopReach = Climbing::hopReach;

bool faceReaches(const Rect& f, double feetY) {
    return Climbing::faceReaches(f, feetY);
}

// From a top at feetY on `from` to t: a hop, a climb up t's face from level with the cat, or
// climbing down from's own face to t's top. Either face must really be there.
bool reachable(const Rect& from, const Rect& t, double feetY) {
    const double d = t.maxY() - feetY;
    if (d > hopReach) return faceReaches(t, feetY);
    if (d < -hopReach) return faceReaches(from, t.maxY());
    return true;
}

} // namespace

const DesktopWindow* Climbing::find(quint32 id) const {
    return desktop.desktop().find(id); // a step face between monitors too
}

std::optional<Climbing::Target> Climbing::climbTarget() {
    const Rect vf = desktop.screenFrame();
    const double floor = desktop.floorY();
    for (const DesktopWindow& w : desktop.polledWindows()) {
        // A top within a hop of the floor is not worth climbing, so a floating window is not
        // reached from the floor at all.
        if (!climbable(w.frame, floor, vf) || !faceReaches(w.frame, floor)) continue;
        // Only the part over the floor the cat walks on: it walks there to climb.
        const Span run = desktop.floorRun();
        Pieces wide;
        for (const Span& p : desktop.visibleTop(w)) {
            const Span q{std::max(p.lower, run.lower), std::min(p.upper, run.upper)};
            if (q.width() > 100) wide.append(q);
        }
        if (wide.isEmpty()) continue;
        const Span& p = wide[random.uniformInt(0, int(wide.size()) - 1)];
        return Target{w, random.uniform(p.lower + 50, p.upper - 50)};
    }
    return std::nullopt;
}

std::optional<Climbing::Target> Climbing::transferTarget(const DesktopWindow& from, double x) {
    const std::optional<Span> span = desktop.visibleSpan(from, x);
    if (!span) return std::nullopt;
    const double c2 = span->lower + span->upper; // twice the span's centre
    const Rect vf = desktop.screenFrame();
    const double floor = desktop.floorY();
    QVarLengthArray<Target, 16> candidates;
    for (const DesktopWindow& t : desktop.polledWindows()) {
        if (t.id == from.id || !climbable(t.frame, floor, vf) ||
            !reachable(from.frame, t.frame, from.frame.maxY()))
            continue;
        for (const Span& p : desktop.visibleTop(t)) {
            // Take off from the end of the current span that faces the piece.
            const double takeoff = c2 < p.lower + p.upper ? span->upper - 20 : span->lower + 20;
            const double landing = std::max(p.lower + 20, std::min(p.upper - 20, takeoff));
            if (std::abs(landing - takeoff) <= 350) candidates.append(Target{t, takeoff});
        }
    }
    if (candidates.isEmpty()) return std::nullopt;
    return candidates[random.uniformInt(0, int(candidates.size()) - 1)];
}

Climbing::Surface Climbing::landingSurface(double x, double feetY) const {
    const Rect vf = desktop.screenFrame();
    const double floor = desktop.floorY();
    Surface best{floor, std::nullopt};
    for (const DesktopWindow& w : desktop.polledWindows()) {
        if (fallingPast_ && w.id == *fallingPast_) continue;
        const double top = w.frame.maxY();
        if (!(top <= feetY + 1) || top > vf.maxY() - headroom || !(top > floor)) continue;
        // On equal tops the one further in front wins; the span test is the costly one.
        if (best.window && !(top > best.y)) continue;
        const std::optional<Span> span = desktop.visibleSpan(w, x);
        if (!span || !(span->lower + 10 < x && x < span->upper - 10)) continue;
        best = Surface{top, w};
    }
    return best;
}

Climbing::Footing Climbing::footing(const DesktopWindow& held, bool onTop, double x) const {
    const DesktopWindow* current = find(held.id);
    if (!current) return Footing{Footing::Kind::fall, {}, 0};
    const Rect& was = held.frame;
    const Rect& is = current->frame;
    if (onTop && (is.width != was.width || is.height != was.height)) {
        // Resized: ride along with the top edge while a spot stays close by.
        const std::optional<double> s = desktop.standingSpot(*current, x);
        if (s && std::abs(*s - x) <= 40) return Footing{Footing::Kind::ride, *current, *s};
    }
    const bool moved = std::abs(is.maxY() - was.maxY()) > 1 ||
                       std::abs(is.minX() - was.minX()) > 1 || std::abs(is.maxX() - was.maxX()) > 1;
    // Standing on top, a window now covering the spot also pulls it away.
    if (moved || (onTop && !desktop.visibleSpan(*current, x))) {
        return Footing{Footing::Kind::fall, {}, 0};
    }
    return Footing{};
}

bool Climbing::climbDue(double now) {
    if (now < nextClimb_) return false;
    nextClimb_ = now + random.uniform(25, 60);
    return true;
}
