// How the cat sees the desktop: the monitors, which windows it can stand on and which parts of
// their tops are walkable. Pure geometry over the last monitor read and the last window poll.

#include "cat/Desktop.h"

#include "base/Log.h"
#include "platform/WindowList.h"

#include <algorithm>
#include <cmath>

namespace {

bool validFrame(const Rect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
           std::isfinite(r.height) && r.width >= 0 && r.height >= 0;
}

double area(const Rect& r) {
    return r.width * r.height;
}

// Keeps, front-most first, the windows the cat may stand on: on some monitor.
void filterWindows(const std::vector<WindowInfo>& all, qint64 ownPid,
                   const std::vector<Monitor>& monitors, std::vector<DesktopWindow>& out) {
    out.clear();
    for (const WindowInfo& w : all) {
        if (!w.onScreen) continue;
        if (w.layer != 0) continue;                 // menus, panels, docks, overlays
        if (w.pid && *w.pid == ownPid) continue;    // never its own panels
        if (w.alpha && !(*w.alpha > 0.5)) continue; // nearly transparent
        if (w.id == 0) continue;
        if (!validFrame(w.frame)) continue;
        const bool shown = std::any_of(monitors.begin(), monitors.end(), [&](const Monitor& m) {
            return w.frame.intersects(m.visibleFrame);
        });
        if (!shown) continue;
        out.push_back(DesktopWindow{w.id, w.frame});
    }
}

} // namespace

Desktop::Desktop(Screens& screens, WindowList& windowList, qint64 ownPid)
    : screens(screens), windowList(windowList), ownPid(ownPid) {}

bool Desktop::readMonitors() {
    std::vector<Monitor> all = screens.monitors();
    if (all.empty() && screens.hasScreen())
        all.push_back(Monitor{QString(), screens.frame(), screens.visibleFrame(),
                              screens.refreshRate(), 1, true});
    QStringList odd;
    std::vector<Monitor> usable;
    for (Monitor& m : all) {
        if (!validFrame(m.frame) || m.frame.isEmpty()) {
            odd << QStringLiteral("%1 has no size").arg(m.name);
            continue;
        }
        // A work area that makes no sense is the whole monitor.
        if (!validFrame(m.visibleFrame) || m.visibleFrame.isEmpty()) m.visibleFrame = m.frame;
        if (!(std::isfinite(m.refreshRate) && m.refreshRate > 0)) m.refreshRate = 60;
        usable.push_back(m);
    }
    // The primary first (the first listed when none says so), then the larger ones: of two
    // monitors showing the same place (mirrored, cloned) the first kept wins.
    std::stable_sort(usable.begin(), usable.end(), [](const Monitor& a, const Monitor& b) {
        if (a.primary != b.primary) return a.primary;
        return area(a.frame) > area(b.frame);
    });
    std::vector<Monitor> kept;
    for (const Monitor& m : usable) {
        const bool overlaps = std::any_of(kept.begin(), kept.end(), [&](const Monitor& k) {
            return k.frame.intersects(m.frame);
        });
        if (overlaps) {
            odd << QStringLiteral("%1 overlaps another").arg(m.name);
            continue;
        }
        if (int(kept.size()) == maxMonitors) {
            odd << QStringLiteral("%1 is past the %2 used").arg(m.name).arg(maxMonitors);
            continue;
        }
        kept.push_back(m);
    }
    if (!kept.empty()) {
        for (Monitor& m : kept)
            m.primary = false;
        kept.front().primary = true;
    }
    if (!odd.isEmpty())
        Log::error(QStringLiteral("screens: %1 of %2 monitors used: %3")
                       .arg(kept.size())
                       .arg(all.size())
                       .arg(odd.join(QStringLiteral("; "))));
    const bool changed = kept != monitors_;
    monitors_ = std::move(kept);
    layoutChanged = true;
    findFaces();
    return changed;
}

Rect Desktop::primaryVisible() const {
    return monitors_.empty() ? Rect{} : monitors_.front().visibleFrame;
}

int Desktop::monitorUnder(double x, double y) const {
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < int(monitors_.size()); ++i) {
        const Rect& v = monitors_[i].visibleFrame;
        if (!(v.minX() <= x && x < v.maxX())) continue;
        // Below the floor counts as standing on it; above, the floor nearest below wins.
        const double floor = v.minY() + floorLift;
        const double distance = y >= floor ? y - floor : (floor - y) * 1e6;
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int Desktop::monitorNear(double x, double y) const {
    const int under = monitorUnder(x, y);
    if (under >= 0) return under;
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < int(monitors_.size()); ++i) {
        const Rect& v = monitors_[i].visibleFrame;
        const double dx = x < v.minX() ? v.minX() - x : x - v.maxX();
        if (dx < bestDistance) {
            best = i;
            bestDistance = dx;
        }
    }
    return best;
}

Rect Desktop::visibleNear(double x, double y) const {
    if (monitors_.empty()) return Rect{};
    return monitors_[monitorNear(x, y)].visibleFrame;
}

double Desktop::floorNear(double x, double y) const {
    return visibleNear(x, y).minY() + floorLift;
}

double Desktop::clampInto(int monitor, double x, double margin) const {
    if (monitor < 0 || monitor >= int(monitors_.size())) return x;
    const Rect& v = monitors_[monitor].visibleFrame;
    const double lo = std::min(v.minX() + margin, v.midX());
    const double hi = std::max(v.maxX() - margin, v.midX());
    return std::clamp(std::isfinite(x) ? x : v.midX(), lo, hi);
}

double Desktop::floorOf(int monitor) const {
    if (monitor < 0 || monitor >= int(monitors_.size())) return 0;
    return monitors_[monitor].visibleFrame.minY() + floorLift;
}

namespace {

// Monitors meet where their visible frames touch; a panel at the seam leaves a gap of its
// width, which the cat does not walk over.
constexpr double seamSlack = 2;

} // namespace

Span Desktop::floorRun(int monitor) const {
    if (monitor < 0 || monitor >= int(monitors_.size())) return Span{0, 0};
    Span run{monitors_[monitor].visibleFrame.minX(), monitors_[monitor].visibleFrame.maxX()};
    // Each end grows while a level neighbour touches it; at most one pass per monitor.
    for (int side = 0; side < 2; ++side) {
        double floor = floorOf(monitor);
        for (std::size_t pass = 0; pass < monitors_.size(); ++pass) {
            bool grew = false;
            for (int i = 0; i < int(monitors_.size()); ++i) {
                const Rect& v = monitors_[i].visibleFrame;
                const double f = floorOf(i);
                if (std::abs(f - floor) > levelTolerance) continue;
                if (side == 1 && std::abs(v.minX() - run.upper) <= seamSlack &&
                    v.maxX() > run.upper) {
                    run.upper = v.maxX();
                } else if (side == 0 && std::abs(v.maxX() - run.lower) <= seamSlack &&
                           v.minX() < run.lower) {
                    run.lower = v.minX();
                } else {
                    continue;
                }
                floor = f;
                grew = true;
            }
            if (!grew) break;
        }
    }
    return run;
}

Desktop::Beyond Desktop::beyond(int monitor, bool right) const {
    Beyond out;
    if (monitor < 0 || monitor >= int(monitors_.size())) return out;
    const Span run = floorRun(monitor);
    const double edge = right ? run.upper : run.lower;
    // The floor at that end: the monitor of the run that holds the edge.
    const int end = monitorNear(right ? edge - 1 : edge + 1, floorOf(monitor));
    const double floor = floorOf(end);
    double bestUp = std::numeric_limits<double>::infinity();
    for (int i = 0; i < int(monitors_.size()); ++i) {
        const Rect& v = monitors_[i].visibleFrame;
        const bool touches =
            right ? std::abs(v.minX() - edge) <= seamSlack : std::abs(v.maxX() - edge) <= seamSlack;
        if (!touches) continue;
        const double f = floorOf(i);
        if (f < floor && v.maxY() > floor) {
            // A lower floor that shows the height the cat walks at: it steps off and falls.
            out = Beyond{Beyond::Kind::down, i};
            return out;
        }
        if (f > floor && f - floor < bestUp) {
            bestUp = f - floor;
            // Climbed in view of the monitor below, or hopped when it is only a small step.
            const bool reach =
                f - floor <= hopUp || f + climbHeadroom <= monitors_[end].visibleFrame.maxY();
            out = Beyond{reach ? Beyond::Kind::up : Beyond::Kind::wall, i};
        }
    }
    return out;
}

std::vector<DesktopWindow> Desktop::freshWindows() const {
    std::vector<DesktopWindow> out;
    if (monitors_.empty()) return out;
    filterWindows(windowList.windows(), ownPid, monitors_, out);
    return out;
}

void Desktop::poll() {
    // The filter depends on the list and on the monitors; when neither changed, the last
    // answer stands and the window server is not asked again.
    const quint64 generation = windowList.generation();
    if (generation == windowGeneration && !layoutChanged) return;
    windowGeneration = generation;
    layoutChanged = false;
    if (monitors_.empty()) {
        windows_.clear();
        return;
    }
    filterWindows(windowList.windows(), ownPid, monitors_, windows_);
}

bool Desktop::listChanged() const {
    return windowList.generation() != windowGeneration;
}

const DesktopWindow* Desktop::find(quint32 id) const {
    if (isStepFace(id)) {
        for (const Face& f : faces_)
            if (f.window.id == id) return &f.window;
        return nullptr;
    }
    for (const DesktopWindow& w : windows_)
        if (w.id == id) return &w;
    return nullptr;
}

void Desktop::findFaces() {
    // Built once per layout: the climb reads them every frame through find().
    faces_.clear();
    for (int m = 0; m < int(monitors_.size()); ++m) {
        for (const bool right : {false, true}) {
            const Beyond b = beyond(m, right);
            if (b.kind != Beyond::Kind::up) continue;
            const Span run = floorRun(m);
            const double edge = right ? run.upper : run.lower;
            const double low = floorOf(monitorNear(right ? edge - 1 : edge + 1, floorOf(m)));
            const double high = floorOf(b.monitor);
            if (high - low <= hopUp) continue;
            // Faces of one run end are shared by the monitors of that run: one each.
            const bool known = std::any_of(faces_.begin(), faces_.end(), [&](const Face& f) {
                return f.right == right && f.window.frame.midX() == edge;
            });
            if (known) continue;
            Face face;
            face.window.id = firstFaceId + quint32(faces_.size());
            face.window.frame = Rect{edge - 60, low, 120, high - low};
            face.right = right;
            face.across = clampInto(b.monitor, right ? edge + 60 : edge - 60, 48);
            faces_.push_back(face);
        }
    }
}

const DesktopWindow* Desktop::stepFace(int monitor, bool right) const {
    if (monitor < 0 || monitor >= int(monitors_.size())) return nullptr;
    const Span run = floorRun(monitor);
    const double edge = right ? run.upper : run.lower;
    for (const Face& f : faces_)
        if (f.right == right && f.window.frame.midX() == edge) return &f.window;
    return nullptr;
}

std::optional<double> Desktop::acrossFace(quint32 id) const {
    for (const Face& f : faces_)
        if (f.window.id == id) return f.across;
    return std::nullopt;
}

bool Desktop::shows(const Monitor& m, double y) const {
    if (monitors_.size() == 1) return true;
    return m.visibleFrame.minY() <= y && y <= m.visibleFrame.maxY();
}

Pieces Desktop::visibleTop(const DesktopWindow& w) const {
    Pieces pieces;
    std::size_t index = 0;
    while (index < windows_.size() && windows_[index].id != w.id)
        ++index;
    if (index == windows_.size()) return pieces;

    // The current frame, not the one the caller carries; the parts the monitors show, left to
    // right, touching ones joined.
    const Rect f = windows_[index].frame;
    const double top = f.maxY();
    for (const Monitor& m : monitors_) {
        if (!shows(m, top)) continue;
        const Span s{std::max(f.minX(), m.visibleFrame.minX()),
                     std::min(f.maxX(), m.visibleFrame.maxX())};
        if (!(s.lower < s.upper)) continue;
        int at = 0;
        while (at < pieces.size() && pieces[at].lower < s.lower)
            ++at;
        pieces.insert(at, s);
    }
    for (int i = 0; i + 1 < pieces.size();) {
        if (pieces[i + 1].lower <= pieces[i].upper) {
            pieces[i].upper = std::max(pieces[i].upper, pieces[i + 1].upper);
            pieces.remove(i + 1);
        } else {
            ++i;
        }
    }
    if (pieces.isEmpty()) return pieces;

    // Windows in front that cover the strip just above the top cut it into pieces.
    const double line = top + 4;
    for (std::size_t j = 0; j < index; ++j) {
        const Rect& F = windows_[j].frame;
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

std::optional<Span> Desktop::visibleSpan(const DesktopWindow& w, double at) const {
    for (const Span& p : visibleTop(w))
        if (p.contains(at)) return p;
    return std::nullopt;
}

std::optional<double> Desktop::standingSpot(const DesktopWindow& w, double b) const {
    std::optional<double> best;
    for (const Span& p : visibleTop(w)) {
        // The nearest point at least 20 points inside the piece; the earlier piece wins ties.
        const double candidate = std::max(p.lower + 20, std::min(b, p.upper - 20));
        if (!best || std::abs(candidate - b) < std::abs(*best - b)) best = candidate;
    }
    return best;
}
