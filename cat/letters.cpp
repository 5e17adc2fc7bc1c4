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
    strokes.push_back({t, dx});
    strokes.erase(strokes.begin(),
                  std::find_if(strokes.begin(), strokes.end(),
                               [t](const Stroke& s) { return t - s.time <= 1.2; }));

    double travel = 0;
    int turns = 0;
    double lastSign = 0;
    for (const Stroke& s : strokes) {
        travel += std::abs(s.dx);
        // Jitter of half a point or less is no stroke.
        if (std::abs(s.dx) <= 0.5) continue;
        const double sign = s.dx > 0 ? 1 : -1;
        if (lastSign != 0 && sign != lastSign) ++turns;
        lastSign = sign;
    }
    const bool gesture = travel > 40 && turns >= 2;
    const bool moved = std::abs(dx) > 0.5;

    switch (activity.kind()) {
    case K::inBed:
        // The cat stays in its bed and shows hearts while the stroking goes on.
        if (!moved) return;
        if (t - lastStroke < 0.8 || gesture) {
            lastStroke = t;
            happyUntil = t + 0.8;
        }
        break;
    case K::petting:
        if (moved) lastStroke = t;
        break;
    default:
        if (gesture) {
            lastStroke = t;
            start(Activity::petting(), t);
        }
        break;
    }
}

void CatOverlay::tapCat() {
    const double t = now();
    if (t < suppressTapUntil) return; // the release of a drop
    switch (activity.kind()) {
    case K::inBed:
    case K::idle:
    case K::petting:
        if (letterQueue_.carried())
            openLetter(t);
        else
            happyUntil = t + 1.2;
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
    happyUntil = t + 1.2;
    start(Activity::idle(), t);
}

void CatOverlay::setCheer(const QString& text, double until) {
    wake();
    captionBoard.setCheer(text, until);
}
