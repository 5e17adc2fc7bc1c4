// Letters, petting and taps.

#include "cat/CatOverlay.h"

#include <algorithm>
#include <cmath>

using K = Activity::Kind;

void CatOverlay::deliver(const Letter& letter) {
    wake();
    if (!letterQueue_.deliver(letter)) return;
    // A cat on screen fetches it on its next decision; one not shown yet brings it in.
    if (!panel) enter(true);
}

void CatOverlay::stroke(double dx) {
    switch (activity.kind()) {
    case K::walking:
    case K::inBed:
    case K::idle:
    case K::petting:
    case K::sleeping:
        break;
    default:
        return;
    }
    const double t = now();
    const bool gesture = holding_.stroke(dx, t);
    const bool moved = std::abs(dx) > 0.5;

    switch (activity.kind()) {
    case K::inBed:
        // The cat stays in its bed and shows hearts while the stroking goes on.
        if (!moved) return;
        if (t - holding_.lastStroke() < 0.8 || gesture) {
            holding_.petted(t);
            holding_.beHappyUntil(t + 0.8);
        }
        break;
    case K::petting:
        if (moved) holding_.petted(t);
        break;
    default:
        if (gesture) {
            holding_.petted(t);
            start(Activity::petting(), t);
        }
        break;
    }
}

void CatOverlay::tapCat() {
    const double t = now();
    if (holding_.ignoresTap(t)) return; // the release of a drop
    switch (activity.kind()) {
    case K::inBed:
    case K::idle:
    case K::petting:
        if (letterQueue_.carried())
            openLetter(t);
        else
            holding_.beHappyUntil(t + 1.2);
        break;
    case K::sleeping:
        start(Activity::yawning(AfterYawn::wake), t);
        break;
    default:
        break;
    }
}

void CatOverlay::openLetter(double t) {
    if (!letterQueue_.open()) return; // nothing in its mouth
    start(Activity::reading(), t);
}

void CatOverlay::markRead() {
    if (!letterQueue_.markRead()) return;
    const double t = now();
    holding_.beHappyUntil(t + 1.2);
    start(Activity::idle(), t);
}

void CatOverlay::setCheer(const QString& text, double until) {
    wake();
    captionBoard.setCheer(text, until);
}
