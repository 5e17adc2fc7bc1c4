// The desktop changing under the cat: a new screen mode, a dock that comes or goes, a work area
// set anew. The cat is put back where it belongs on the new desktop at once, not when it next
// happens to move.

#include "platform/Screens.h"

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "cat/Ticker.h"
#include "platform/Panel.h"

#include <algorithm>
#include <cmath>

using K = Activity::Kind;

namespace {

// Activities whose feet rest on the surface under the cat.
bool standing(K k) {
    switch (k) {
    case K::idle:
    case K::walking:
    case K::away:
    case K::yawning:
    case K::reading:
    case K::petting:
    case K::snacking:
    case K::sleeping:
    case K::landing:
    case K::eating:
    case K::waving:
    case K::stalking:
        return true;
    default:
        return false;
    }
}

// Activities whose x is not the cat's to choose: it hangs from the pointer, is in the air
// towards a fixed point, holds on to a window face or lies in its bed.
bool placedByOthers(K k) {
    switch (k) {
    case K::held:
    case K::jumping:
    case K::pouncing:
    case K::catching:
    case K::inBed:
    case K::climbingUp:
    case K::pullingUp:
    case K::lowering:
    case K::climbingDown:
        return true;
    default:
        return false;
    }
}

bool near(double a, double b) {
    return std::abs(a - b) <= 1;
}

} // namespace

void CatOverlay::screenParametersChanged() {
    wake(); // a resting frame clock must place the cat on this frame, not a second later
    const bool wasOnMonitor = desktop_.monitorUnder(x, feetY) >= 0;
    const std::size_t monitorsBefore = desktop_.monitors().size();
    desktop_.readMonitors();
    // A monitor that only changed its size keeps the cat by the clamping below.
    const bool monitorRemoved = desktop_.monitors().size() < monitorsBefore;
    const Rect oldFull = placedScreen;
    const Rect oldVisible = placedVisible;
    placedScreen = sys.screens.frame();
    keepBedOnScreen();
    if (!entered) {
        if (frameClock) frameClock->setRefreshRate(rateOfMonitorUnderCat());
        placedVisible = screenFrame();
        return; // enter() places the cat on whatever the desktop is then
    }
    const double t = now();
    // Its monitor went away (a lid closed, a cable pulled): the cat is put on the primary's
    // floor at once rather than left where nothing shows it.
    if (monitorRemoved && wasOnMonitor && desktop_.monitorUnder(x, feetY) < 0) rescueOntoPrimary(t);
    placedVisible = screenFrame();
    if (frameClock) frameClock->setRefreshRate(rateOfMonitorUnderCat());
    const Rect& vf = placedVisible;
    Log::info(QStringLiteral("screens: the desktop changed to %1 × %2 (visible %3, %4, %5, %6); "
                             "placing the cat again")
                  .arg(placedScreen.width)
                  .arg(placedScreen.height)
                  .arg(vf.x)
                  .arg(vf.y)
                  .arg(vf.width)
                  .arg(vf.height));

    // y-up coordinates hang from the screen's bottom edge: when only the height changes, every
    // window that kept its place on the server moves by the same amount in the cat's terms.
    const double shift = placedScreen.maxY() - oldFull.maxY();
    lastWindowPoll = t;
    pollWindows();
    followShiftedWindows(shift);

    // Horizontally the cat belongs inside the visible frame, unless it is on its way off the
    // screen or back in from its edge: then it stays just outside the new edge.
    const double lo = std::min(vf.minX() + 48, vf.midX());
    const double hi = std::max(vf.maxX() - 48, vf.midX());
    const double oldLo = oldVisible.minX() + 48, oldHi = oldVisible.maxX() - 48;
    auto* walking = activity.as<activity::Walking>();
    const bool wasOff = x < oldLo || x > oldHi;
    const bool errand = walking && wasOff;
    if (activity.is(K::away)) {
        // It comes back at the new edge by itself.
    } else if (errand) {
        x = std::clamp(x, offscreenX(true), offscreenX(false));
    } else if (!placedByOthers(activity.kind())) {
        x = std::clamp(x, lo, hi);
    }
    if (walking) retarget(*walking, oldVisible, lo, hi, t);

    checkPlatform(t);
    // On a window's face the cat keeps climbing while the face reaches into the new frame,
    // moved sideways to the nearest spot inside it; with no such spot it lets go.
    if (const DesktopWindow* face = heldFace(); face && (x < lo || x > hi)) {
        const double in = std::clamp(x, lo, hi);
        const std::optional<Span> span = visibleSpan(*face, in);
        if (span && span->lower + 20 <= in && in <= span->upper - 20)
            x = in;
        else
            letGo(face->id, t);
    }
    if (activity.is(K::falling)) x = std::clamp(x, lo, hi);
    if (platform.isFloor() && standing(activity.kind())) feetY = floorY();

    if (panel) {
        layout();
        // The panel's frame may read the same in the cat's terms while its place on the screen
        // changed (a new screen height), so it is set again either way.
        panel->setFrame(panel->frame());
    }
}

// Walks whose target left the visible frame get a new one.
void CatOverlay::retarget(activity::Walking& walking, const Rect& oldVisible, double lo, double hi,
                          double t) {
    const Rect vf = screenFrame();
    double& to = walking.to;
    switch (walking.then.kind) {
    case Arrival::Kind::fetch:
        to = offscreenX(to < oldVisible.midX());
        break;
    case Arrival::Kind::rest:
        if (to < lo || to > hi) to = std::clamp(entrySpot(to < vf.midX()), lo, hi);
        break;
    case Arrival::Kind::announce:
        to = std::clamp(to, std::min(vf.minX() + 60, vf.midX()),
                        std::max(vf.maxX() - 60, vf.midX()));
        break;
    case Arrival::Kind::climb:
    case Arrival::Kind::transfer:
        if (to < lo || to > hi || !findWindow(walking.then.window.id)) start(Activity::idle(), t);
        break;
    case Arrival::Kind::bed:
        break;
    case Arrival::Kind::step:
        start(Activity::idle(), t); // the step may be gone with the layout
        break;
    }
}

// Windows that stayed where they were on the server moved by `shift` in y-up points; the cat on
// or at such a window moves with it instead of falling.
void CatOverlay::followShiftedWindows(double shift) {
    if (shift == 0) return;
    const auto follow = [&](DesktopWindow& w) {
        const DesktopWindow* now = findWindow(w.id);
        if (!now) return false;
        const Rect& a = w.frame;
        const Rect& b = now->frame;
        if (!near(b.x, a.x) || !near(b.y, a.y + shift) || !near(b.width, a.width) ||
            !near(b.height, a.height))
            return false;
        w = *now;
        return true;
    };
    const auto followOpt = [&](std::optional<DesktopWindow>& w) {
        if (w) follow(*w);
    };
    bool moved = false;
    if (const DesktopWindow* on = platform.window()) {
        DesktopWindow w = *on;
        if (follow(w)) {
            platform = Platform::on(w);
            moved = true;
        }
    }
    if (auto* a = activity.as<activity::ClimbingUp>()) moved = follow(a->window) || moved;
    if (auto* a = activity.as<activity::PullingUp>()) moved = follow(a->window) || moved;
    if (auto* a = activity.as<activity::Lowering>()) {
        moved = follow(a->window) || moved;
        followOpt(a->onto);
    }
    if (auto* a = activity.as<activity::ClimbingDown>()) {
        moved = follow(a->window) || moved;
        followOpt(a->onto);
    }
    if (auto* a = activity.as<activity::Walking>();
        a && (a->then.kind == Arrival::Kind::climb || a->then.kind == Arrival::Kind::transfer))
        follow(a->then.window);
    if (!moved) return;
    feetY += shift;
    // A face that now reaches below the floor is climbed from the floor, as any other.
    if (activity.is(K::climbingUp) || activity.is(K::climbingDown))
        feetY =
            std::max(feetY, floorY() + 16 - CatSprite::geometry(CatSprite::climb1).bounds.minY());
}

void CatOverlay::rescueOntoPrimary(double t) {
    if (!desktop_.hasScreen()) return;
    switch (activity.kind()) {
    case K::held:  // the pointer carries it wherever it is
    case K::inBed: // the bed was put back and the cat with it
    case K::away:  // it comes back in by itself
        return;
    default:
        break;
    }
    const double from = x;
    x = desktop_.clampInto(0, x, 48);
    feetY = desktop_.primaryVisible().minY() + Desktop::floorLift;
    platform = Platform::floor();
    climbing_.landed();
    state.setReading(std::nullopt);
    Log::notice(QStringLiteral("screens: the monitor under the cat went away; it moves from x %1 "
                               "onto the primary's floor at x %2")
                    .arg(from)
                    .arg(x));
    start(Activity::idle(), t);
}
