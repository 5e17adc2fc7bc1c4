#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

// Stored dates are seconds since 2001-01-01 00:00:00 UTC, as real numbers.
namespace StoredDate {

// 2001-01-01 00:00:00 UTC in Unix seconds.
constexpr qint64 epochUnixSeconds = 978307200;

inline const QDateTime& epoch() {
    static const QDateTime e = QDateTime::fromSecsSinceEpoch(epochUnixSeconds, QTimeZone::utc());
    return e;
}

inline double toSeconds(const QDateTime& d) {
    return double(d.toMSecsSinceEpoch() - epochUnixSeconds * 1000) / 1000.0;
}

// Now, without building a date: for clocks read many times a second.
inline double nowSeconds() {
    return double(QDateTime::currentMSecsSinceEpoch() - epochUnixSeconds * 1000) / 1000.0;
}

// Local time zone, so calendar questions on the result use the system's zone.
inline QDateTime fromSeconds(double s) {
    return QDateTime::fromMSecsSinceEpoch(epoch().toMSecsSinceEpoch() +
                                          qint64(std::llround(s * 1000.0)));
}

// The same instant in UTC: no time zone lookup, for decoding many dates at once.
inline QDateTime fromSecondsUtc(double s) {
    return QDateTime::fromMSecsSinceEpoch(
        epoch().toMSecsSinceEpoch() + qint64(std::llround(s * 1000.0)), Qt::UTC);
}

} // namespace StoredDate
