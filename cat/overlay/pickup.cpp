// Picking the cat up (out of its bed, for good) and dropping it: onto what is below, or into the
// bed. The hand itself is the Holding component.

#include "cat/CatOverlay.h"
#include "platform/Panel.h"

using K = Activity::Kind;

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
    holding_.pickUp(at, t);
    start(Activity::held(), t);
    return true;
}

void CatOverlay::drop() {
    if (!activity.is(K::held)) return;
    const double t = now();
    holding_.drop(t);
    if (const std::optional<Rect> bed = bedPlace_.frame()) {
        const Rect& f = *bed;
        const Rect grown{f.x - 10, f.y - 10, f.width + 20, f.height + 20};
        if (grown.contains(QPointF(x, feetY + 30))) {
            landInBed(t);
            return;
        }
    }
    climbing_.landed();
    start(Activity::falling(0), t);
}

void CatOverlay::landInBed(double t) {
    bedLife_.moveIn();
    getIntoBed(t);
}
