// When the frame clock may rest. Only the states listed here count as still; every other
// activity, and anything added later, keeps the display rate. While still, the clock sleeps
// until the earliest moment something is due, and every outside event wakes it. A walk sleeps
// between its pictures, and so does a cat lying in its bed: between the frames of its clip, or
// a tenth of a second at a time while it only breathes, as a cat asleep on the floor does.

#include "cat/CatOverlay.h"
#include "cat/Ticker.h"
#include "platform/Devices.h"
#include "platform/InputIdle.h"
#include "platform/WindowList.h"

#include <algorithm>
#include <cmath>
#include <limits>

using K = Activity::Kind;

namespace {
// Past a due moment by this much, so strict comparisons (a poll "more than a second" after the
// last) hold on the frame that wakes.
constexpr double overshoot = 0.002;
// The bed's breath is a swell of a few pixels over 2.5 s: ten steps a second draw it smoothly.
constexpr double breathStep = 0.1;
} // namespace

double CatOverlay::frameClockRate() const {
    return frameClock ? frameClock->refreshRate() : 0;
}

void CatOverlay::wake() {
    if (frameClock) frameClock->wake();
}

void CatOverlay::systemNews() {
    lastSystemPoll = distantPast;
    wake();
}

double CatOverlay::nextSystemPoll() const {
    // A resting clock need not wake for the poll when news comes by itself: from devices that
    // notify, and keys that notify until typing starts (its end is a poll's to find).
    const bool told = sys.devices.notifiesChanges() && sys.inputIdle.notifiesKeys() &&
                      !systemSignals_.typingSince();
    return told ? std::numeric_limits<double>::infinity() : lastSystemPoll + 1.0;
}

bool CatOverlay::quietAt(double t) const {
    if (!panel || holding_.dragHover() || hunting_.heldPointer() || captionBoard.busy(t))
        return false;
    // Asleep, the breath is stepped like the bed's and the view draws the z's at its own rate.
    if (state.caption() || state.hearts()) return false;
    // The happy face and the pop squash end on their own dates; both are short.
    return !holding_.happy(t) && !holding_.popping(t);
}

bool CatOverlay::calm() const {
    return !(focusPhase_.hasNews() || focusPhase_.focusing() || systemSignals_.inCall() ||
             systemSignals_.callChanging() || bedLife_.callNap() || focusPhase_.breakUntil() ||
             focusPhase_.breakBedAt() || bedLife_.napUntil());
}

bool CatOverlay::stillAt(double t) const {
    // An idle cat sitting on the floor or a window top, or one holding up an open letter, with
    // nothing on its mind and nothing on screen that animates. The open letter and the eaten
    // bubble are still pictures; their buttons answer through the panel handlers.
    const bool reading = activity.is(K::reading);
    if (!(activity.is(K::idle) || reading) || !quietAt(t)) return false;
    if (bedLife_.lying() || bedLife_.livesInBed() || (!letterQueue_.empty() && !reading))
        return false;
    return calm();
}

double CatOverlay::bedRestFor(double t) const {
    // Lying in the bed with nothing on its mind: until its clip's next frame, or the next step
    // of its breath; the once-a-second system poll and a window change keep their moments.
    if (!bedLife_.lying() || !quietAt(t) || !calm() || !letterQueue_.empty()) return 0;
    const auto* inBed = activity.as<activity::InBed>();
    double rest = inBed->clip ? bedClips.untilNextPose(t - activityStart, 1.0) : breathStep;
    rest = std::min(rest, nextSystemPoll() - t);
    // The next clip and the phone spell's end are decided on their own moments.
    const auto consider = [&](double moment) {
        if (moment > t) rest = std::min(rest, moment - t);
    };
    consider(bedLife_.nextClip());
    if (const auto phone = bedLife_.phoneUntil()) consider(*phone);
    if (desktop_.listChanged()) rest = std::min(rest, lastWindowPoll + windowPollSeconds - t);
    return std::max(0.0, rest) + overshoot;
}

double CatOverlay::walkRestFor() const {
    // Until the next picture, or the walk's end if that comes first. What the walk gives way
    // to comes by an event that wakes the clock, or waits at most a picture.
    const Gait& g = gait();
    const double picture = (std::floor(stepPhase * g.fps) + 1) / g.fps - stepPhase;
    const double end = std::abs(activity.as<activity::Walking>()->to - x) / g.speed;
    return std::min(picture, end) + overshoot;
}

double CatOverlay::restFor(double t) {
    // A walk on a floor or a window top moves its panel only with its pictures, and only a
    // bubble there keeps the display rate.
    if (activity.is(K::walking)) {
        const bool bubble = state.reading() || state.eaten() || bubbleLeaving;
        return quietAt(t) && !bubble ? walkRestFor() : 0;
    }
    if (activity.is(K::inBed)) return bedRestFor(t);
    if (activity.is(K::sleeping)) {
        // Any input wakes it, and input wakes the clock; only the breath and the poll are due.
        if (!quietAt(t) || !calm() || !letterQueue_.empty()) return 0;
        return std::max(0.0, std::min(breathStep, nextSystemPoll() - t)) + overshoot;
    }
    if (!stillAt(t)) return 0;
    // A window change that came too soon after the last read waits for the next read, not
    // for the next second: its wake-up found nothing to read yet.
    if (desktop_.listChanged())
        return std::max(0.0, lastWindowPoll + windowPollSeconds - t) + overshoot;
    double due = std::min(nextSystemPoll(), t + 3600);
    const auto consider = [&](double moment) {
        if (moment > t) due = std::min(due, moment);
    };
    // Blinks, and the own-initiative timers that decide reads. One already past was dealt
    // with by this frame's decision, or waits for something that wakes the clock itself (a
    // window change for a climb, a still pointer for a hunt).
    consider(blinkUntil);
    if (const auto closes = feeder.bubbleClosesAt()) consider(*closes);
    for (const double timer :
         {nextBlink, nextWander, nextSnack, climbing_.nextClimb(), nextYawn, hunting_.nextHunt()})
        consider(timer);
    // Dozing off after a quiet spell, and the hour (day or night) it is judged by.
    const double idle = sys.inputIdle.secondsSinceAnyInput();
    consider(t + (60 - idle));
    consider(t + (180 - idle));
    consider(std::floor(t / 60.0) * 60.0 + 60.0);
    // A still pointer becomes prey after a while; sooner just after a shake.
    const double still = sys.inputIdle.secondsSinceMouseMoved();
    consider(t + (4 - still));
    if (holding_.shaken(t)) {
        consider(t + (0.25 - still));
        consider(holding_.shakenAt() + 10);
    }
    return std::max(0.0, due - t) + overshoot;
}
