#include "strings/Countdown.h"

#include <algorithm>
#include <cmath>

QString countdown(double seconds) {
    const qint64 s = qint64(std::ceil(std::max(seconds, 0.0)));
    return QString::asprintf("%lld:%02lld", s / 60, s % 60);
}
