#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The Gregorian calendar in the system's current time zone, weeks starting on Monday.
// A day runs from local midnight to local midnight.
namespace Calendar {

// The local calendar day of an instant.
QDate dayOf(const QDateTime& instant);

// Local midnight (or the first moment of the day where midnight does not exist).
QDateTime startOfDay(QDate day);

// The Monday of the week that holds the day.
inline QDate mondayOf(QDate day) {
    return day.addDays(1 - day.dayOfWeek());
}

// The wall-clock time on a day: in a daylight-saving gap the first moment after the gap, and
// when the clock repeats an hour the first of the two moments.
QDateTime at(QDate day, QTime time);

// The first moment strictly after `after` whose wall-clock hour and minute are given (seconds
// zero), with the rules of at(); after + one day when no day within a week has one.
QDateTime nextAt(const QDateTime& after, int hour, int minute);

} // namespace Calendar
