// How the cat sees the desktop: which windows it can stand on, which parts of their tops are
// walkable, and the screen positions it walks to. Pure geometry over the last window poll.

#include "cat/CatOverlay.h"
#include "platform/Random.h"
#include "platform/Screens.h"
#include "platform/WindowList.h"

#include <cmath>

namespace {

bool validFrame(const Rect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
           std::isfinite(r.height) && r.width >= 0 && r.height >= 0;
}

// Keeps, front-most first, the windows the cat may stand on.
void filterWindows(const std::vector<WindowInfo>& all, qint64 ownPid, const Rect& visible,
                   std::vector<DesktopWindow>& out) {
    out.clear();
    for (const WindowInfo& w : all) {
        if (!w.onScreen) continue;
        if (w.layer != 0) continue;                 // menus, panels, docks, overlays
        if (w.pid && *w.pid == ownPid) continue;    // never its own panels
        if (w.alpha && !(*w.alpha > 0.5)) continue; // nearly transparent
        if (w.id == 0) continue;
        if (!validFrame(w.frame)) continue;
        if (!w.frame.intersects(visible)) continue;
        out.push_back(DesktopWindow{w.id, w.frame});
    }
}

} // namespace

std::vector<DesktopWindow> CatOverlay::desktopWindows() const {
    std::vector<DesktopWindow> out;
    if (!sys.screens.hasScreen()) return out;
    filterWindows(sys.windowList.windows(), sys.ownPid, sys.screens.visibleFrame(), out);
    return out;
}

void CatOverlay::pollWindows() {
    // The filter depends on the list and on the visible frame; when neither changed, the last
    // answer stands and the window server is not asked again.
    const Rect visible = sys.screens.visibleFrame();
    const quint64 generation = sys.windowList.generation();
    if (generation == windowGeneration && visible == windowsVisibleFrame) return;
    windowGeneration = generation;
    windowsVisibleFrame = visible;
    if (!sys.screens.hasScreen()) {
        windows.clear();
        return;
    }
    filterWindows(sys.windowList.windows(), sys.ownPid, visible, windows);
}

const DesktopWindow* CatOverlay::findWindow(quint32 id) const {
    for (const DesktopWindow& w : windows)
        if (w.id == id) return &w;
    return nullptr;
}

Rect CatOverlay::screenFrame() const {
    return sys.screens.visibleFrame();
}

double CatOverlay::floorY() const {
    return screenFrame().minY() + 12;
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
    Pieces pieces;
    const Rect vf = screenFrame();
    std::size_t index = 0;
    while (index < windows.size() && windows[index].id != w.id)
        ++index;
    if (index == windows.size()) return pieces;

    // The current frame, not the one the caller carries.
    const Rect f = windows[index].frame;
    const Span whole{std::max(f.minX(), vf.minX()), std::min(f.maxX(), vf.maxX())};
    if (!(whole.lower < whole.upper)) return pieces;
    pieces.append(whole);

    // Windows in front that cover the strip just above the top cut it into pieces.
    const double line = f.maxY() + 4;
    for (std::size_t j = 0; j < index; ++j) {
        const Rect& F = windows[j].frame;
        if (!(F.minY() <= line && line <= F.maxY())) continue;
        Pieces cut;
        for (const Span& p : pieces) {
            if (p.lower < F.minX()) cut.append(Span{p.lower, std::min(F.minX(), p.upper)});
            if (p.upper > F.maxX()) cut.append(Span{std::max(p.lower, F.maxX()), p.upper});
        }
        pieces = cut;
        if (pieces.isEmpty()) return pieces;
    }

    Pieces wide;
    for (const Span& p : pieces)
        if (!(p.upper - p.lower < 60)) wide.append(p);
    return wide;
}

std::optional<Span> CatOverlay::visibleSpan(const DesktopWindow& w, double at) const {
    for (const Span& p : visibleTop(w))
        if (p.contains(at)) return p;
    return std::nullopt;
}

std::optional<double> CatOverlay::standingSpot(const DesktopWindow& w,
                                               std::optional<double> near) const {
    const double b = near.value_or(x);
    std::optional<double> best;
    for (const Span& p : visibleTop(w)) {
        // The nearest point at least 20 points inside the piece; the earlier piece wins ties.
        const double candidate = std::max(p.lower + 20, std::min(b, p.upper - 20));
        if (!best || std::abs(candidate - b) < std::abs(*best - b)) best = candidate;
    }
    return best;
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
