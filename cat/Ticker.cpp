#include "cat/Ticker.h"

#include <cmath>

Ticker::Ticker(std::function<void()> a, double refreshRate, QObject* parent)
    : QObject(parent), action(std::move(a)) {
    const double rate = refreshRate > 1 ? refreshRate : 60.0;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(std::max(1, int(std::lround(1000.0 / rate))));
    connect(&timer, &QTimer::timeout, this, &Ticker::fire);
    timer.start();
}
