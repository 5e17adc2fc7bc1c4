#include "app/FrameClock.h"

#include <cmath>

FrameClock::FrameClock(double refreshRate, std::unique_ptr<Ticker> ticker, QObject* parent)
    : QObject(parent), ticker_(std::move(ticker)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalFor(refreshRate));
    connect(&timer_, &QTimer::timeout, this, [this] { ticker_->fire(); });
}

void FrameClock::start() {
    timer_.start();
}
void FrameClock::stop() {
    timer_.stop();
}

std::chrono::milliseconds FrameClock::intervalFor(double refreshRate) {
    // Screens report 0 or nonsense when the driver does not know; 60 Hz is the safe guess.
    if (!std::isfinite(refreshRate) || refreshRate < 1 || refreshRate > 1000) refreshRate = 60;
    // Never slower than the screen: 60 Hz gives 16 ms, not 17.
    return std::chrono::milliseconds(std::max(1L, long(std::floor(1000.0 / refreshRate))));
}
