#include "cat/Ticker.h"

#include <algorithm>
#include <cmath>

Ticker::Ticker(std::function<void()> a, double refreshRate, QObject* parent)
    : QObject(parent), action(std::move(a)) {
    setRefreshRate(refreshRate);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(frameMs_);
    connect(&timer, &QTimer::timeout, this, &Ticker::fire);
    timer.start();
    sinceFire_.start();
}

void Ticker::setRefreshRate(double refreshRate) {
    const double rate = refreshRate > 1 ? refreshRate : 60.0;
    frameMs_ = std::max(1, int(std::lround(1000.0 / rate)));
    if (!resting_ && timer.isActive() && timer.interval() != frameMs_) timer.setInterval(frameMs_);
}

void Ticker::fire() {
    sinceFire_.restart();
    action();
    const double rest = restFor ? restFor() : 0.0;
    if (rest > frameMs_ / 1000.0) {
        resting_ = true;
        // Rounded up: waking a little early only costs a frame that finds nothing due.
        timer.start(int(std::min(std::ceil(rest * 1000.0), 3600e3)));
    } else if (resting_ || timer.interval() != frameMs_) {
        resting_ = false;
        timer.start(frameMs_);
    }
}

void Ticker::wake() {
    if (!resting_) return;
    resting_ = false;
    // At once, but never faster than the display rate.
    const qint64 since = sinceFire_.elapsed();
    timer.start(int(std::clamp<qint64>(frameMs_ - since, 0, frameMs_)));
}
