// Letters, petting, taps and the timed caption.

#include "cat/CatOverlay.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <algorithm>
#include <cmath>

using K = Activity::Kind;

void CatOverlay::deliver(const Letter& letter) {
    wake();
    // One update offer is enough.
    if (letter.update &&
        std::any_of(queue.begin(), queue.end(), [](const Letter& l) { return l.update; }))
        return;
    queue.push_back(letter);
    state.setUnread(int(queue.size()));
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
        if (carrying && !queue.empty())
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
    if (!carrying || queue.empty()) return;
    start(Activity::reading(), t);
    state.setReading(queue.front());
}

void CatOverlay::markRead() {
    if (queue.empty()) return;
    const double t = now();
    queue.erase(queue.begin());
    state.setUnread(int(queue.size()));
    state.setReading(std::nullopt);
    if (queue.empty()) carrying = false;
    happyUntil = t + 1.2;
    start(Activity::idle(), t);
}

void CatOverlay::refreshCaption(double t) {
    // The countdown is formatted only when its shown second changes, so a running break costs
    // no text work per frame.
    if (cheer && t < cheer->until) {
        timedCaption = TimedCaption::cheer;
        showTimedCaption(cheer->text);
        return;
    }
    if (breakUntil) {
        const qint64 left = qint64(std::ceil(std::max(*breakUntil - t, 0.0)));
        if (timedCaption != TimedCaption::countdown || left != countdownShown) {
            timedCaption = TimedCaption::countdown;
            countdownShown = left;
            showTimedCaption(S().breakLeft(countdown(double(left))));
        }
        return;
    }
    if (t < backToWorkUntil) {
        if (timedCaption != TimedCaption::backToWork) {
            timedCaption = TimedCaption::backToWork;
            showTimedCaption(S().backToWork());
        }
        return;
    }
    timedCaption = TimedCaption::none;
    if (captionByTimer) {
        state.setCaption(std::nullopt);
        captionByTimer = false;
    } else if (noticeUntil && t >= *noticeUntil) {
        // A notice of our own (a file that could not be put back) goes after a while.
        noticeUntil.reset();
        state.setCaption(std::nullopt);
    }
}

void CatOverlay::showTimedCaption(const QString& text) {
    if (state.caption() != text) state.setCaption(text);
    captionByTimer = true;
    noticeUntil.reset();
}

void CatOverlay::setCheer(const QString& text, double until) {
    wake();
    cheer = Cheer{text, until};
}

bool CatOverlay::readingReport() const {
    const Letter* open = state.reading();
    return open && open->report.has_value();
}
