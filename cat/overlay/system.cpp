// Calls, music, typing, sleep and the focus timer's phases.

#include "cat/CatOverlay.h"
#include "frames/BedClip.h"

using K = Activity::Kind;

void CatOverlay::goingToSleep() {
    switch (activity.kind()) {
    case K::walking:
    case K::yawning:
    case K::stalking:
    case K::idle:
    case K::petting:
    case K::snacking:
    case K::waving:
        start(Activity::sleeping(), now());
        break;
    default:
        break;
    }
}

void CatOverlay::systemWoke() {
    const double t = now();
    if (bedLife_.lying() && activity.is(K::inBed) && bedLife_.hold() == CatSprite::Hold::nothing) {
        static const int yawn = CatSprite::BedClip::bedClip(u"bed_yawn");
        playBedClip(yawn, false, t);
    } else if (activity.is(K::sleeping)) {
        start(Activity::yawning(AfterYawn::wake), t);
    }
}

void CatOverlay::pollSystem(double t) {
    const SystemSignals::CallChange change = systemSignals_.poll(t);
    if (change == SystemSignals::CallChange::ended) bedLife_.callEnded();
}

void CatOverlay::setPomodoro(bool focus, std::optional<double> until) {
    wake();
    const double t = now();
    if (focus && !focusPhase_.focusing()) captionBoard.showBackToWork(t + 4);
    if (!focus) captionBoard.clearBackToWork();
    focusPhase_.set(focus, until);
}
