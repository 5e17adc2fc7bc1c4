// The cat panel seen from the engine: creating it, the hit test, and what the panel's input
// handlers do to the overlay.

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "platform/Panel.h"
#include "platform/Pointer.h"

#include <cmath>

using K = Activity::Kind;

void CatOverlay::makePanel() {
    if (panel || !sys.makeCatPanel) return;
    panel = sys.makeCatPanel(*this);
    if (!panel) return;
    const double t = now();
    updateSprite(t);
    layout();
    panel->show();
    const Rect f = panel->frame();
    Log::notice(QStringLiteral("cat panel shown at {{%1, %2}, {%3, %4}}")
                    .arg(f.x)
                    .arg(f.y)
                    .arg(f.width)
                    .arg(f.height));
}

bool CatOverlay::cursorOnCat() const {
    const Rect g = CatSprite::geometry(state.sprite()).bounds;
    // The drawing is mirrored when the cat faces left.
    const double left = state.facingRight() ? g.minX() : 96 - g.maxX();
    const Rect body{x - 48 + left - 4, feetY - 16 + state.hop() + g.minY() - 4, g.width + 8,
                    g.height + 8};
    return body.contains(sys.pointer.location());
}

bool CatOverlay::onDragHover(bool hovering) {
    wake();
    if (!hovering) {
        holding_.setDragHover(false);
        return false;
    }
    switch (activity.kind()) {
    case K::walking:
        start(Activity::idle(), now());
        break;
    case K::inBed:
    case K::idle:
    case K::petting:
    case K::snacking:
    case K::sleeping:
        break;
    default:
        return false;
    }
    holding_.setDragHover(true);
    return true;
}

void CatOverlay::onCarry(QPointF p) {
    wake();
    if (!activity.is(K::held)) return;
    holding_.carry(p, now());
}

bool CatOverlay::onGrabBed(QPointF p) {
    wake(); // every press on the cat comes here first
    if (!bedLife_.lying() || !activity.is(K::inBed)) return false;
    // The bed fills the lowest 36 points of the panel.
    if (p.y() - (feetY - 16) < 36) {
        bedPlace_.grab(p);
        return true;
    }
    return false;
}

void CatOverlay::onMoveBed(QPointF p) {
    wake();
    if (!bedPlace_.drag(p)) return;
    // The cat moves with its bed.
    x = bedPlace_.spot().x();
    feetY = bedPlace_.spot().y() - 4 + 16;
    layout();
}

void CatOverlay::acceptUpdate() {
    markRead();
    onUpdate();
}

namespace {

bool acceptsFood(const Activity& a) {
    switch (a.kind()) {
    case K::walking:
    case K::inBed:
    case K::idle:
    case K::petting:
    case K::snacking:
    case K::sleeping:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CatOverlay::feed(const QList<QUrl>& dropped) {
    if (!acceptsFood(activity) || !feeder.feed(dropped)) return false;
    bedLife_.dropHold(); // a cat in bed drops its phone
    start(Activity::eating(), now());
    return true;
}
