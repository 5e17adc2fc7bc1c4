#include "cat/CatOverlay.h"

#include "base/Log.h"
#include "cat/Ticker.h"
#include "platform/Clock.h"
#include "platform/Devices.h"
#include "platform/InputIdle.h"
#include "platform/Panel.h"
#include "platform/Pointer.h"
#include "platform/Random.h"
#include "platform/Screens.h"
#include "platform/StoredDate.h"
#include "platform/WindowList.h"

#include <QPointer>
#include <QThread>
#include <algorithm>
#include <cmath>

using K = Activity::Kind;

namespace {

// The plain walk's speed in points per second: its frames slide a paw on the ground back by
// 1.7425 points per frame, and at 22 frames per second the body moves as far, so the feet do not
// skate.
constexpr double plainWalkFps = 22.0;
constexpr double plainWalkPointsPerSecond = 38.33459854014599;

} // namespace

const CatOverlay::Gait CatOverlay::plainWalk{&CatSprite::walkLoop, plainWalkFps,
                                             plainWalkPointsPerSecond};
const CatOverlay::Gait CatOverlay::letterWalk{&CatSprite::walkLetterLoop, 26.4, 46.0};

const CatOverlay::Gait& CatOverlay::gait() const {
    return letterQueue_.carried() ? letterWalk : plainWalk;
}

double CatOverlay::snackDuration() {
    double total = 0;
    for (const auto& step : CatSprite::snack())
        total += step.seconds;
    return total;
}

double CatOverlay::sitHeadroom() {
    // Every frame is drawn on the 96-point canvas.
    return 96.0 - CatSprite::geometry(CatSprite::sit).bounds.maxY();
}

CatOverlay::CatOverlay(const CatServices& services, QObject* parent)
    : QObject(parent), sys(services) {
    desktop_.readMonitors();
    const double t = now();
    activityStart = lastTick = t;
    nextBlink = nextWander = nextSnack = nextYawn = t;
    climbing_.climbAt(t);
    hunting_.huntAt(t);
    feeder.onNotice = [this](const QString& text) {
        captionBoard.notice(text, now());
        wake();
    };
    feeder.onWake = [this] { wake(); };
    systemSignals_.onSleep = [this] { goingToSleep(); };
    systemSignals_.onWake = [this] { systemWoke(); };
    feeder.onNothingEaten = [this] {
        if (activity.is(K::eating)) start(Activity::idle(), now());
    };
}

CatOverlay::~CatOverlay() {
    // Taken apart so that nothing calls into a half-destroyed engine. The callbacks it handed to
    // the system go first; then the panels, whose last moves still report to the desktop, go
    // while every other part stands; the frame clock last.
    if (frameClock) {
        sys.windowList.onChange = nullptr;
        sys.inputIdle.onPointer = nullptr;
        sys.inputIdle.onKey = nullptr;
        sys.devices.onChange = nullptr;
    }
    systemSignals_.stopWatching();
    bedPlace_.closePanel();
    panel.reset();
    frameClock.reset();
}

double CatOverlay::now() const {
    return sys.clock.seconds();
}

double CatOverlay::r(double a, double b) {
    return sys.random.uniform(a, b);
}

bool CatOverlay::chance(double p) {
    // uniform() includes its upper end; a draw of exactly 1 never passes p ≤ 1 anyway.
    return sys.random.uniform(0.0, 1.0) < p;
}

int CatOverlay::hourOfDay(double t) {
    // Zone offsets are whole minutes, so the local hour can only change on a minute boundary.
    if (t >= hourValidFrom && t < hourValidUntil) return hour;
    hour = StoredDate::fromSeconds(t).time().hour();
    hourValidFrom = std::floor(t / 60.0) * 60.0;
    hourValidUntil = hourValidFrom + 60.0;
    return hour;
}

CatOverlay::Snapshot CatOverlay::snapshot() const {
    Snapshot s;
    s.x = x;
    s.feetY = feetY;
    s.activity = activity;
    s.platform = platform;
    s.sprite = state.sprite();
    s.carrying = letterQueue_.carried();
    if (panel) s.panelFrame = panel->frame();
    s.lying = bedLife_.lying();
    s.inCall = systemSignals_.inCall();
    s.musicPlaying = systemSignals_.musicPlaying();
    s.typing = systemSignals_.typingSince().has_value();
    s.focusing = focusPhase_.focusing();
    s.bedSpot = bedPlace_.spot();
    s.bedFrame = bedPlace_.shownFrame();
    s.breakUntil = focusPhase_.breakUntil();
    return s;
}

void CatOverlay::postponeAll(double seconds) {
    const double t = now();
    const double until = t + seconds;
    nextWander = nextSnack = nextYawn = until;
    climbing_.climbAt(until);
    hunting_.huntAt(until);
    wake();
    bedLife_.endNap(t); // a nap of its own ends too
}

void CatOverlay::setDown(double atX) {
    x = atX;
    feetY = floorY();
    platform = Platform::floor();
    activity = Activity::idle();
    activityStart = now();
}

void CatOverlay::makeDue(Due which) {
    wake();
    const double t = now();
    switch (which) {
    case Due::wander:
        nextWander = t;
        break;
    case Due::snack:
        nextSnack = t;
        break;
    case Due::climb:
        climbing_.climbAt(t);
        break;
    case Due::yawn:
        nextYawn = t;
        break;
    case Due::hunt:
        hunting_.huntAt(t);
        break;
    }
}

void CatOverlay::enter(bool c) {
    Q_ASSERT(QThread::currentThread() == thread());
    letterQueue_.setCarrying(c);
    platform = Platform::floor();
    desktop_.readMonitors();
    // The cat comes in on the primary monitor.
    const Rect vf = desktop_.primaryVisible();
    entered = true;
    placedScreen = sys.screens.frame();
    placedVisible = vf;
    feetY = vf.minY() + Desktop::floorLift;
    x = vf.minX() - 130;

    const double t = now();
    nextWander = t + r(5, 10);
    nextSnack = t + r(60, 180);
    climbing_.climbAt(t + r(20, 45));
    nextYawn = t + r(120, 240);
    hunting_.huntAt(t + r(20, 60));

    makeBedPanel();
    systemSignals_.watch();
    makePanel();

    if (!bedLife_.livesInBed() || c)
        start(Activity::walking(entrySpot(true), Arrival::rest()), t);
    else
        getIntoBed(t);
    lastTick = t;

    if (sys.screens.hasScreen() && sys.frameClock) {
        QPointer<CatOverlay> self(this);
        frameClock = std::make_unique<Ticker>(
            [self] {
                if (self) self->tick();
            },
            rateOfMonitorUnderCat());
        frameClock->restFor = [self] { return self ? self->restFor(self->lastTick) : 0.0; };
        // What a resting clock would miss: the window list changing, the pointer moving or
        // pressed anywhere (shakes and prey are the pointer's).
        sys.windowList.onChange = [self] {
            if (self) self->wake();
        };
        sys.inputIdle.onPointer = [self] {
            if (self) self->wake();
        };
        // The system poll: at once on news from the devices and on the first key of a spell of
        // typing; the keys after it are read by the once-a-second poll while it lasts.
        sys.devices.onChange = [self] {
            if (self) self->systemNews();
        };
        sys.inputIdle.onKey = [self] {
            if (self && !self->systemSignals_.typingSince()) self->systemNews();
        };
    }
}

void CatOverlay::start(const Activity& a, double t) {
    Log::notice(QStringLiteral("cat: ") + a.description().left(120));
    // The pop squash plays when a snack starts and when it ends.
    if (a.is(K::snacking) || activity.is(K::snacking)) holding_.pop(t);
    activity = a;
    activityStart = t;
    // A new walk shows its first picture where it sets out, facing its way.
    shownStep.reset();
    sinceShown = 0;
    if (const auto* w = a.as<activity::Walking>(); w && w->to != x) state.setFacingRight(x < w->to);
    // Started between frames (by input or a model): the new activity wants frames now.
    wake();
}

void CatOverlay::tick() {
    Q_ASSERT(QThread::currentThread() == thread());
    const double t = now();
    double dt = t - lastTick;
    lastTick = t;
    const double elapsed = t - activityStart;
    // The view draws once, when the frame's writes are done, with no trip through the event
    // loop in between.
    state.beginFrame();

    if (t - lastWindowPoll > windowPollSeconds) {
        lastWindowPoll = t;
        pollWindows();
        checkPlatform(t);
    }
    if (t - lastSystemPoll > 1.0) {
        lastSystemPoll = t;
        pollSystem(t);
    }
    holding_.trackShake(sys.pointer.location().x(), t);
    captionBoard.refresh(t, focusPhase_.breakUntil());

    // A stalled frame moves the cat at most a tenth of a second's worth; a clock that went
    // backwards moves it not at all. Timeouts use the unclamped elapsed time.
    dt = std::clamp(dt, 0.0, 0.1);
    stepActivity(t, dt, elapsed);

    if (const DesktopWindow* w = platform.window(); w && activity.is(K::walking)) {
        const std::optional<Span> span = visibleSpan(*w, x);
        if (!span || x < span->lower + 10 || x > span->upper - 10) start(Activity::falling(0), t);
    } else if (!w && activity.is(K::walking) && desktop_.monitors().size() > 1) {
        stepOffFloor(t);
    }

    if (t >= nextBlink) {
        blinkUntil = t + 0.15;
        nextBlink = t + r(2.5, 6.0);
    }
    feeder.tick(t);

    followMonitorRate();
    if (panel) {
        updateSprite(t);
        layout();
    }
    state.endFrame();
}

void CatOverlay::stepActivity(double t, double dt, double elapsed) {
    switch (activity.kind()) {
    case K::walking:
        walk(*activity.as<activity::Walking>(), t, dt);
        break;
    case K::away:
        if (t >= activity.as<activity::Away>()->until) {
            letterQueue_.setCarrying(true);
            const bool left = exitLeft();
            x = offscreenX(left);
            if (!bedLife_.belongsInBed(t, bedSituation()) ||
                (focusPhase_.hasNews() && (!systemSignals_.inCall() || focusPhase_.focusing())))
                start(Activity::walking(entrySpot(left), Arrival::rest()), t);
            else
                goToBed(t);
        }
        break;
    case K::yawning:
        if (elapsed > 1.1) {
            switch (activity.as<activity::Yawning>()->then) {
            case AfterYawn::idle:
                start(Activity::idle(), t);
                break;
            case AfterYawn::sleep:
                start(Activity::sleeping(), t);
                break;
            case AfterYawn::wake:
                holding_.beHappyUntil(t + 1.5);
                start(Activity::idle(), t);
                break;
            }
        }
        break;
    case K::climbingUp:
    case K::pullingUp:
    case K::lowering:
    case K::climbingDown:
    case K::falling:
    case K::jumping:
        stepClimbing(t, dt, elapsed);
        break;
    case K::stalking:
    case K::pouncing:
    case K::catching:
        stepHunt(t, dt, elapsed);
        break;
    case K::inBed:
        stepInBed(t, elapsed);
        break;
    case K::held: {
        const QPointF feet = holding_.hang(QPointF(x, feetY), t, dt, elapsed);
        x = feet.x();
        feetY = feet.y();
        break;
    }
    case K::idle:
        if (!holding_.dragHover()) decide(t);
        break;
    case K::reading:
        break;
    case K::petting:
        if (t - holding_.lastStroke() > 0.8) {
            holding_.beHappyUntil(t + 0.8);
            start(Activity::idle(), t);
        }
        break;
    case K::snacking:
        if (elapsed > snackDuration()) {
            holding_.beHappyUntil(t + 0.8);
            start(Activity::idle(), t);
        }
        break;
    case K::sleeping:
        if (sys.inputIdle.secondsSinceAnyInput() < 1.5 || letterQueue_.toFetch() ||
            focusPhase_.hasNews())
            start(Activity::yawning(AfterYawn::wake), t);
        break;
    case K::landing:
        if (elapsed > 0.45) start(Activity::idle(), t);
        break;
    case K::eating:
        if (elapsed > 2.4) {
            holding_.beHappyUntil(t + 1.0);
            start(Activity::idle(), t);
        }
        break;
    case K::waving:
        if (elapsed > 2.8) start(Activity::idle(), t);
        break;
    }
}

bool CatOverlay::walk(activity::Walking w, double t, double dt) {
    // A leisurely walk gives way as soon as there is something to do; decide picks the errand.
    if (w.then.kind == Arrival::Kind::rest &&
        (letterQueue_.toFetch() || focusPhase_.hasNews() || focusPhase_.focusing() ||
         focusPhase_.breakBedtime(t))) {
        start(Activity::idle(), t);
        return false;
    }
    // Hovering over a cat that carries a letter opens it.
    if (letterQueue_.carried() && catOnScreen() && cursorOnCat()) {
        openLetter(t);
        return false;
    }
    // Only a leisurely walk gives way to a hunt.
    if (w.then.kind == Arrival::Kind::rest && letterQueue_.empty() &&
        !(systemSignals_.inCall() && !focusPhase_.focusing()) && huntIfPrey(t))
        return false;

    state.setFacingRight(x < w.to);
    const Gait& g = gait();
    if (!shownStep) shownStep = std::floor(stepPhase * g.fps);
    stepPhase += dt;
    const double speed = g.speed;
    const double d = state.facingRight() ? 1.0 : -1.0;
    const double old = x;
    x += dt * d * speed;
    // A new picture is drawn where the walk was at its moment, not where this frame found it.
    if (const double step = std::floor(stepPhase * g.fps); step != *shownStep) {
        shownStep = step;
        sinceShown = std::min(stepPhase - step / g.fps, dt) * speed;
    } else {
        sinceShown += dt * speed;
    }
    if ((w.to > old && w.to <= x) || (d < 0 && w.to >= x)) {
        x = w.to;
        arrive(w.then, t);
        return true;
    }
    return false;
}

void CatOverlay::decide(double t) {
    if (bedLife_.lying()) {
        if (bedLife_.wantsUp(t, bedSituation()))
            leaveBed(t);
        else
            start(Activity::inBed(std::nullopt), t);
        return;
    }
    if (letterQueue_.toFetch()) {
        if (const DesktopWindow* w = platform.window())
            getDown(*w, t);
        else
            start(Activity::walking(offscreenX(exitLeft()), Arrival::fetch()), t);
        return;
    }
    if (focusPhase_.hasNews() && !(systemSignals_.inCall() && !focusPhase_.focusing())) {
        if (const DesktopWindow* w = platform.window()) {
            getDown(*w, t);
        } else {
            const Span run = floorRun();
            const double target =
                std::min(std::max(sys.pointer.location().x(), run.lower + 60), run.upper - 60);
            start(Activity::walking(target, Arrival::announce()), t);
        }
        return;
    }
    if (bedLife_.belongsInBed(t, bedSituation())) {
        goToBed(t);
        return;
    }
    if (!letterQueue_.empty()) return; // it sits and waits, holding the letters

    const double idle = sys.inputIdle.secondsSinceAnyInput();
    const int h = hourOfDay(t);
    if (h >= 6 && h <= 22) {
        if (idle > 180) {
            start(Activity::yawning(AfterYawn::sleep), t);
            return;
        }
    } else {
        if (idle > 60) {
            start(Activity::yawning(AfterYawn::sleep), t);
            return;
        }
        if (t >= nextYawn) {
            nextYawn = t + r(120, 240);
            start(Activity::yawning(AfterYawn::idle), t);
            return;
        }
    }

    if (huntIfPrey(t)) return;

    if (t >= nextSnack) {
        nextSnack = t + r(120, 300);
        start(Activity::snacking(), t);
        return;
    }

    if (climbing_.climbDue(t)) {
        if (const DesktopWindow* w = platform.window()) {
            getDown(*w, t);
            return;
        }
        if (const auto target = climbing_.climbTarget()) {
            start(Activity::walking(target->x, Arrival::climb(target->window)), t);
            return;
        }
    }

    if (t < nextWander) return;
    nextWander = t + r(8, 20);
    if (const DesktopWindow* w = platform.window()) {
        if (chance(0.6)) {
            if (const auto target = climbing_.transferTarget(*w, x)) {
                start(Activity::walking(target->x, Arrival::transfer(target->window)), t);
                return;
            }
        }
    } else if (bedPlace_.exists() && chance(0.15)) {
        bedLife_.startNap(t + r(60, 180));
        headToBed(t);
        return;
    }
    if (wanderAcross(t)) return;
    if (const auto spot = randomSpot()) start(Activity::walking(*spot, Arrival::rest()), t);
}

void CatOverlay::arrive(const Arrival& a, double t) {
    switch (a.kind) {
    case Arrival::Kind::climb: {
        const DesktopWindow* w = findWindow(a.window.id);
        if (w && w->frame == a.window.frame) {
            // The climbing sprite stands on the floor.
            feetY = screenFrame().minY() + 12 + 16 -
                    CatSprite::geometry(CatSprite::climb1).bounds.minY();
            start(Activity::climbingUp(*w), t);
        } else {
            start(Activity::idle(), t);
        }
        break;
    }
    case Arrival::Kind::transfer:
        arriveTransfer(a.window, t);
        break;
    case Arrival::Kind::rest:
        start(Activity::idle(), t);
        break;
    case Arrival::Kind::fetch:
        start(Activity::away(t), t);
        break;
    case Arrival::Kind::bed:
        if (bedPlace_.exists()) {
            const QPointF bedSpot = bedPlace_.spot();
            state.setFacingRight(x < bedSpot.x());
            platform = Platform::floor();
            start(Activity::jumping(QPointF(x, feetY), QPointF(bedSpot.x(), bedSpot.y() - 4 + 16),
                                    Landing::bed(), true),
                  t);
        } else {
            start(Activity::idle(), t);
        }
        break;
    case Arrival::Kind::announce:
        focusPhase_.announced(t);
        start(Activity::waving(), t);
        break;
    case Arrival::Kind::step:
        jumpStep(a.x, t);
        break;
    }
}
