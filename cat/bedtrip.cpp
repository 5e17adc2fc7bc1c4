// Going to bed and getting out: why the cat belongs there, the walk and jump in, and the jump out.

#include "cat/CatOverlay.h"
#include "platform/Panel.h"

#include <algorithm>

using K = Activity::Kind;

bool CatOverlay::belongsInBed(double t) {
    if (systemSignals_.inCall() || focusing) return true;
    if (breakBedAt && t >= *breakBedAt) return true;
    if (livesInBed && !breakBedAt) return true;
    if (napUntil) return true;
    return callNap;
}

bool CatOverlay::wantsUp(double t) {
    if (hasLetterToFetch()) return true; // it goes to fetch them
    if (systemSignals_.inCall() && !focusing) return false;
    if (breakNews) return true;
    if (focusing) return false;
    if (breakBedAt && t >= *breakBedAt) return false;
    if (callNap && !livesInBed && !napUntil) return true; // the call is over
    if (!napUntil) return false;
    return t >= *napUntil;
}

bool CatOverlay::wantsPhone(double t) {
    if (systemSignals_.inCall() || focusing) return false;
    if (breakBedAt && t >= *breakBedAt) return true; // the phone passes a break
    return phoneUntil && t < *phoneUntil;
}

void CatOverlay::goToBed(double t) {
    if (systemSignals_.inCall() || focusing || (breakBedAt && *breakBedAt <= t)) callNap = true;
    headToBed(t);
}

void CatOverlay::headToBed(double t) {
    const std::optional<DesktopWindow> bed = bedWindow();
    const double approach = bedApproachX();
    if (const DesktopWindow* on = platform.window()) {
        if (!bed || bed->id != on->id) {
            getDown(*on, t); // the decision logic brings it back here from below
            return;
        }
        start(Activity::walking(standingSpot(*on, approach).value_or(x), Arrival::bed()), t);
        return;
    }
    if (bed && bed->frame.maxY() >= floorY() + 80) {
        if (const std::optional<double> spot = standingSpot(*bed, approach)) {
            // Up the window first; the trip goes on from its top.
            start(Activity::walking(*spot, Arrival::climb(*bed)), t);
            return;
        }
    }
    start(Activity::walking(approach, Arrival::bed()), t);
}

void CatOverlay::getIntoBed(double t) {
    lying = true;
    bedHold = CatSprite::Hold::nothing;
    platform = Platform::floor();
    x = bedSpot.x();
    feetY = bedSpot.y() + 12;
    if (bedPanel) bedPanel->hide(); // the cat's frames draw the bed while it lies in it
    holding_.pop(t);
    nextBedClip = t + r(2, 5);
    if (carrying && !queue.empty()) {
        openLetter(t);
        if (activity.is(K::reading)) return;
    }
    start(Activity::inBed(std::nullopt), t);
}

void CatOverlay::leaveBed(double t) {
    lying = false;
    napUntil.reset();
    callNap = false;
    if (bedPanel) bedPanel->show(); // it keeps itself just below the cat's panel

    const Rect vf = screenFrame();
    const std::optional<DesktopWindow> bed = bedWindow();
    const Rect reference = bed ? bed->frame : vf;
    const double d = reference.midX() < bedSpot.x() ? -1 : 1;
    QPointF target(bedSpot.x() + 60 * d, vf.minY() + 12);
    Landing landing = Landing::floor();
    if (bed) {
        if (const std::optional<double> spot = standingSpot(*bed, bedSpot.x() + 60 * d)) {
            target = QPointF(*spot, bed->frame.maxY());
            landing = Landing::top(*bed);
        }
    }
    state.setFacingRight(x < target.x());
    start(Activity::jumping(QPointF(x, feetY), target, landing, false), t);
}
