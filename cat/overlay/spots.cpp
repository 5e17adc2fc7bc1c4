// The places the cat walks to on the desktop where it is: its monitor's floor, the spots off
// its edges and back in, and a wander's target. The geometry itself is the Desktop's.

#include "cat/CatOverlay.h"
#include "cat/Ticker.h"
#include "platform/Random.h"

#include <cmath>

std::vector<DesktopWindow> CatOverlay::desktopWindows() const {
    return desktop_.freshWindows();
}

void CatOverlay::pollWindows() {
    desktop_.poll();
}

const DesktopWindow* CatOverlay::findWindow(quint32 id) const {
    return desktop_.find(id);
}

Rect CatOverlay::screenFrame() const {
    return desktop_.visibleNear(x, feetY);
}

double CatOverlay::floorY() const {
    return screenFrame().minY() + Desktop::floorLift;
}

int CatOverlay::floorMonitor() const {
    // The run at the height the cat walks at holds it, even out past the run's end where it
    // left the desktop or stands in the gap below a higher neighbour.
    const std::vector<Monitor>& monitors = desktop_.monitors();
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < int(monitors.size()); ++i) {
        if (std::abs(desktop_.floorOf(i) - feetY) > Desktop::levelTolerance) continue;
        const Span run = desktop_.floorRun(i);
        const double d = x < run.lower ? run.lower - x : (x > run.upper ? x - run.upper : 0);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best >= 0 ? best : desktop_.monitorNear(x, feetY);
}

Span CatOverlay::floorRun() const {
    return desktop_.floorRun(floorMonitor());
}

bool CatOverlay::exitLeft() const {
    // The nearer end of the floor where no lower monitor shows the cat walking out.
    const int m = floorMonitor();
    const Span run = desktop_.floorRun(m);
    const bool leftOpen = desktop_.beyond(m, false).kind != Desktop::Beyond::Kind::down;
    const bool rightOpen = desktop_.beyond(m, true).kind != Desktop::Beyond::Kind::down;
    if (leftOpen != rightOpen) return leftOpen;
    return x < (run.lower + run.upper) / 2;
}

double CatOverlay::offscreenX(bool left) const {
    // The drawing is at most 96 points wide, so 130 points out hides it whole.
    const Span run = floorRun();
    return left ? run.lower - 130 : run.upper + 130;
}

double CatOverlay::entrySpot(bool left) {
    const Span run = floorRun();
    // As far in as a share of the monitor at that end.
    const Rect end = desktop_.visibleNear(left ? run.lower + 1 : run.upper - 1, feetY);
    const double d = end.width * r(0.12, 0.30);
    return left ? run.lower + d : run.upper - d;
}

bool CatOverlay::catOnScreen() const {
    const Span run = floorRun();
    return run.lower <= x - 48 && run.upper >= x + 48;
}

Pieces CatOverlay::visibleTop(const DesktopWindow& w) const {
    return desktop_.visibleTop(w);
}

std::optional<Span> CatOverlay::visibleSpan(const DesktopWindow& w, double at) const {
    return desktop_.visibleSpan(w, at);
}

std::optional<double> CatOverlay::standingSpot(const DesktopWindow& w,
                                               std::optional<double> near) const {
    return desktop_.standingSpot(w, near.value_or(x));
}

std::optional<double> CatOverlay::randomSpot() {
    double a, b;
    if (const DesktopWindow* w = platform.window()) {
        const std::optional<Span> span = visibleSpan(*w, x);
        if (!span || span->width() <= 80) return std::nullopt;
        a = span->lower + 40;
        b = span->upper - 40;
    } else {
        const Span run = floorRun();
        a = run.lower + 0.15 * run.width();
        b = run.upper - 0.15 * run.width();
    }
    // Every wander moves the cat at least 120 points.
    double left = std::min(x - 120, b) - a;
    const double c = std::max(x + 120, a);
    double right = b - c;
    if (!(left > 0) && !(right > 0)) return std::nullopt;
    left = std::max(left, 0.0);
    right = std::max(right, 0.0);
    const double u = sys.random.uniform(0.0, left + right);
    return u < left ? a + u : c + (u - left);
}

bool CatOverlay::wanderAcross(double t) {
    // Now and then a wander on the floor goes on to a neighbour's floor: off the end onto a
    // lower one, or with a jump up onto a higher one.
    if (platform.window() || desktop_.monitors().size() < 2) return false;
    const int m = floorMonitor();
    const Desktop::Beyond sides[2] = {desktop_.beyond(m, false), desktop_.beyond(m, true)};
    const auto reachable = [](const Desktop::Beyond& b) {
        return b.kind == Desktop::Beyond::Kind::down || b.kind == Desktop::Beyond::Kind::up;
    };
    if (!reachable(sides[0]) && !reachable(sides[1])) return false;
    if (!chance(0.3)) return false;
    const bool right = !reachable(sides[0]) || (reachable(sides[1]) && chance(0.5));
    const Desktop::Beyond& side = sides[right ? 1 : 0];
    const Rect to = desktop_.monitors()[side.monitor].visibleFrame;
    const double target = to.minX() + to.width * r(0.15, 0.85);
    const Span run = desktop_.floorRun(m);
    if (side.kind == Desktop::Beyond::Kind::down) {
        // The walk goes on past the end; the tick drops it onto the lower floor.
        start(Activity::walking(target, Arrival::rest()), t);
    } else {
        const double edge =
            right ? run.upper - Desktop::stepStandoff : run.lower + Desktop::stepStandoff;
        start(Activity::walking(edge, Arrival::step(desktop_.clampInto(side.monitor, target, 48))),
              t);
    }
    return true;
}

void CatOverlay::stepOffFloor(double t) {
    // Walking on the floor past a seam: onto a level floor it steps across, over a lower one it
    // falls. Out past the end of the desktop, or below a higher neighbour, it walks on unseen.
    const int under = desktop_.monitorUnder(x, feetY);
    if (under < 0) return;
    const double floor = desktop_.floorOf(under);
    if (std::abs(floor - feetY) <= Desktop::levelTolerance) {
        feetY = floor;
        return;
    }
    // It drops once its hind half is past the edge too, so it lands wholly on the lower floor.
    const double back = x + (state.facingRight() ? -50 : 50);
    if (floor < feetY && desktop_.monitorUnder(back, feetY) == under)
        start(Activity::falling(0), t);
}

void CatOverlay::jumpStep(double to, double t) {
    const int from = floorMonitor();
    const bool right = to > x;
    const Desktop::Beyond b = desktop_.beyond(from, right);
    const double floor = desktop_.floorOf(b.monitor);
    if (b.kind != Desktop::Beyond::Kind::up || platform.window()) {
        start(Activity::idle(), t); // the step changed on the way
        return;
    }
    state.setFacingRight(right);
    if (floor - feetY > Desktop::hopUp + Desktop::levelTolerance) {
        // Too high to hop: up the face at the seam, then across onto the higher floor.
        if (const DesktopWindow* face = desktop_.stepFace(from, right))
            start(Activity::climbingUp(*face), t);
        else
            start(Activity::idle(), t);
        return;
    }
    // Just over the edge: a short hop up, not a leap across the monitor.
    const double x2 = desktop_.clampInto(b.monitor, to, 48);
    const double land = x2 > x ? std::min(x2, x + 110) : std::max(x2, x - 110);
    start(Activity::jumping(QPointF(x, feetY), QPointF(land, floor), Landing::floor(), true), t);
}

double CatOverlay::rateOfMonitorUnderCat() {
    const std::vector<Monitor>& monitors = desktop_.monitors();
    if (monitors.empty()) {
        clockMonitor = -1;
        return sys.screens.refreshRate();
    }
    clockMonitor = desktop_.monitorNear(x, feetY);
    return monitors[clockMonitor].refreshRate;
}

void CatOverlay::followMonitorRate() {
    // A few comparisons a frame; the clock changes only when the cat crossed onto another
    // monitor.
    if (!frameClock || desktop_.monitors().size() < 2) return;
    if (desktop_.monitorNear(x, feetY) == clockMonitor) return;
    frameClock->setRefreshRate(rateOfMonitorUnderCat());
}
