// Calls, music, typing, sleep and the focus timer's phases.

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "platform/Devices.h"
#include "platform/InputIdle.h"
#include "sprites/BedClip.h"

#include <QPointer>

using K = Activity::Kind;

void CatOverlay::watchSystem() {
    if (watchingSystem) return;
    watchingSystem = true;
    QPointer<CatOverlay> self(this);
    sys.devices.watchSleep(
        [self] {
            if (self) self->goingToSleep();
        },
        [self] {
            if (self) self->systemWoke();
        });
}

void CatOverlay::goingToSleep() {
    systemAsleep = true;
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
    if (!systemAsleep) return;
    systemAsleep = false;
    const double t = now();
    if (lying && activity.is(K::inBed) && bedHold == CatSprite::Hold::nothing) {
        static const int yawn = CatSprite::BedClip::bedClip(u"bed_yawn");
        playBedClip(yawn, false, t);
    } else if (activity.is(K::sleeping)) {
        start(Activity::yawning(AfterYawn::wake), t);
    }
}

void CatOverlay::pollSystem(double t) {
    // The microphone is only asked while the camera is off.
    const bool signal = sys.devices.cameraInUse() || sys.devices.microphoneInUse();
    if (signal == inCall) {
        callSignalSince.reset();
    } else if (!callSignalSince) {
        callSignalSince = t;
    } else if (t - *callSignalSince >= (signal ? 3.0 : 5.0)) {
        inCall = signal;
        callSignalSince.reset();
        if (!signal && livesInBed) callNap = false;
        Log::info(QStringLiteral("call %1").arg(signal ? QStringLiteral("started")
                                                       : QStringLiteral("ended")));
    }

    musicPlaying = sys.devices.musicPlaying();

    const double k = sys.inputIdle.secondsSinceKeyDown();
    if (k < 1) {
        if (!typingSince) typingSince = t;
    } else if (k > 2) {
        typingSince.reset();
    }
}

void CatOverlay::setPomodoro(bool focus, std::optional<double> until) {
    wake();
    const double t = now();
    if (focus && !focusing) captionBoard.showBackToWork(t + 4);
    if (!focus) captionBoard.clearBackToWork();
    focusing = focus;
    // A second report of a running break is not news.
    if (until && !breakUntil) breakNews = true;
    if (!until) {
        breakNews = false;
        breakBedAt.reset();
    }
    breakUntil = until;
}
