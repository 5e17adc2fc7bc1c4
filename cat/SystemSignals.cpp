#include "cat/SystemSignals.h"

#include "base/Log.h"
#include "platform/Devices.h"
#include "platform/InputIdle.h"

void SystemSignals::watch() {
    if (watching) return;
    watching = true;
    devices.watchSleep([this] { wentToSleep(); }, [this] { woke(); });
}

void SystemSignals::stopWatching() {
    if (!watching) return;
    watching = false;
    devices.watchSleep([] {}, [] {});
}

void SystemSignals::wentToSleep() {
    sleeping = true;
    onSleep();
}

void SystemSignals::woke() {
    if (!sleeping) return;
    sleeping = false;
    onWake();
}

SystemSignals::CallChange SystemSignals::poll(double t) {
    CallChange change = CallChange::none;
    // The microphone is only asked while the camera is off.
    const bool signal = devices.cameraInUse() || devices.microphoneInUse();
    if (signal == call) {
        callSignalSince.reset();
    } else if (!callSignalSince) {
        callSignalSince = t;
    } else if (t - *callSignalSince >= (signal ? 3.0 : 5.0)) {
        call = signal;
        callSignalSince.reset();
        change = signal ? CallChange::started : CallChange::ended;
        Log::info(QStringLiteral("call %1").arg(signal ? QStringLiteral("started")
                                                       : QStringLiteral("ended")));
    }

    music = devices.musicPlaying();

    const double k = input.secondsSinceKeyDown();
    if (k < 1) {
        if (!typing) typing = t;
    } else if (k > 2) {
        typing.reset();
    }
    return change;
}
