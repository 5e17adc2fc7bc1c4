#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

// Stored dates are seconds since 2001-01-01 00:00:00 UTC, as real numbers.
namespace StoredDate {

inline const QDateTime& epoch() {
    static const QDateTime e(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return e;
}

inline double toSeconds(const QDateTime& d) {
    return double(d.toMSecsSinceEpoch() - epoch().toMSecsSinceEpoch()) / 1000.0;
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
