// Going to bed and getting out: the walk and jump in, and the jump out. Why the cat belongs
// there is its bed life's to say.

#include "cat/CatOverlay.h"

#include <algorithm>

using K = Activity::Kind;

BedLife::Situation CatOverlay::bedSituation() const {
    BedLife::Situation s;
    s.letterToFetch = letterQueue_.toFetch();
    s.inCall = systemSignals_.inCall();
    s.focusing = focusPhase_.focusing();
    s.breakNews = focusPhase_.hasNews();
    s.breakBedAt = focusPhase_.breakBedAt();
    s.typingSince = systemSignals_.typingSince();
    s.musicPlaying = systemSignals_.musicPlaying();
    return s;
}

void CatOverlay::goToBed(double t) {
    if (systemSignals_.inCall() || focusPhase_.focusing() || focusPhase_.breakBedtime(t))
        bedLife_.napForCall();
    headToBed(t);
}

void CatOverlay::headToBed(double t) {
    const std::optional<DesktopWindow> bed = bedWindow();
    const double approach = bedPlace_.approachX(x);
    if (const DesktopWindow* on = platform.window()) {
        if (!bed || bed->id != on->id) {
            getDown(*on, t); // the decision logic brings it back here from below
            return;
        }
        start(Activity::walking(standingSpot(*on, approach).value_or(x), Arrival::bed()), t);
        return;
    }
    // Up the window under the bed first when its face reaches the floor; the trip goes on
    // from its top. A window floating under the bed is not climbed: the cat jumps from the
    // floor.
    if (bed && bed->frame.maxY() >= floorY() + 80 && Climbing::faceReaches(bed->frame, floorY())) {
        if (const std::optional<double> spot = standingSpot(*bed, approach)) {
            start(Activity::walking(*spot, Arrival::climb(*bed)), t);
            return;
        }
    }
    // A bed over another monitor's floor: up a step with a jump first; down one the cat falls
    // on its way. Past a wall or open space it cannot get there and stays.
    const Span run = floorRun();
    const double bedX = bedPlace_.spot().x();
    if (desktop_.monitors().size() > 1 && !run.contains(bedX)) {
        const bool right = bedX > run.upper;
        switch (desktop_.beyond(floorMonitor(), right).kind) {
        case Desktop::Beyond::Kind::up:
            start(Activity::walking(right ? run.upper - Desktop::stepStandoff
                                          : run.lower + Desktop::stepStandoff,
                                    Arrival::step(approach)),
                  t);
            return;
        case Desktop::Beyond::Kind::down:
            break;
        case Desktop::Beyond::Kind::wall:
        case Desktop::Beyond::Kind::open:
            return;
        }
    }
    start(Activity::walking(approach, Arrival::bed()), t);
}

void CatOverlay::getIntoBed(double t) {
    bedLife_.getIn(t + r(2, 5));
    platform = Platform::floor();
    x = bedPlace_.spot().x();
    feetY = bedPlace_.spot().y() + 12;
    bedPlace_.hide(); // the cat's frames draw the bed while it lies in it
    holding_.pop(t);
    if (letterQueue_.carried()) {
        openLetter(t);
        if (activity.is(K::reading)) return;
    }
    start(Activity::inBed(std::nullopt), t);
}

void CatOverlay::leaveBed(double t) {
    bedLife_.getOut();
    bedPlace_.show(); // it keeps itself just below the cat's panel

    const QPointF bedSpot = bedPlace_.spot();
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
