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

double CatOverlay::offscreenX(bool left) const {
    // The drawing is at most 96 points wide, so 130 points out hides it whole.
    const Rect vf = screenFrame();
    return left ? vf.minX() - 130 : vf.maxX() + 130;
}

double CatOverlay::entrySpot(bool left) {
    const Rect vf = screenFrame();
    const double d = vf.width * r(0.12, 0.30);
    return left ? vf.minX() + d : vf.maxX() - d;
}

bool CatOverlay::catOnScreen() const {
    const Rect vf = screenFrame();
    return vf.minX() <= x - 48 && vf.maxX() >= x + 48;
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
    const Rect vf = screenFrame();
    double a, b;
    if (const DesktopWindow* w = platform.window()) {
        const std::optional<Span> span = visibleSpan(*w, x);
        if (!span || span->width() <= 80) return std::nullopt;
        a = span->lower + 40;
        b = span->upper - 40;
    } else {
        a = vf.minX() + 0.15 * vf.width;
        b = vf.maxX() - 0.15 * vf.width;
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
