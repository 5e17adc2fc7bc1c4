#include "base/Calendar.h"

#include <QTimeZone>

namespace Calendar {

QDate dayOf(const QDateTime& instant) {
    return instant.toLocalTime().date();
}

QDateTime startOfDay(QDate day) {
    return day.startOfDay(Qt::LocalTime);
}

QDateTime at(QDate day, QTime time) {
    const QDateTime plain(day, time, Qt::LocalTime);
    if (!plain.isValid()) {
        // The time falls into a gap: take the transition that jumps over it.
        const QTimeZone zone = QTimeZone::systemTimeZone();
        const QTimeZone::OffsetData next = zone.nextTransition(startOfDay(day));
        if (next.atUtc.isValid() && dayOf(next.atUtc) == day) return next.atUtc.toLocalTime();
        return startOfDay(day).addSecs(QTime(0, 0).secsTo(time)); // no zone data
    }
    // Qt picks the later of two repeated moments; look for an earlier one with the same face.
    QDateTime first = plain;
    for (const int back : {1800, 3600, 7200}) {
        const QDateTime earlier = plain.addSecs(-back);
        if (earlier.date() == day && earlier.time() == time) first = earlier;
    }
    return first;
}

QDateTime nextAt(const QDateTime& after, int hour, int minute) {
    const QTime time(hour, minute);
    const QDate start = dayOf(after);
    for (int i = 0; i < 8; ++i) {
        const QDateTime candidate = at(start.addDays(i), time);
        if (candidate.isValid() && candidate > after) return candidate;
    }
    return after.addSecs(86400);
}

} // namespace Calendar
