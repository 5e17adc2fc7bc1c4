#pragma once

#include "focus/FocusRecords.h"

#include <QString>

// The numbers the statistics screen, the story card and the PDF show. Unlike the reports,
// which drop the fraction of a minute, these round to the nearest minute.
namespace StatsNumbers {

// Seconds to whole minutes, halves away from zero.
int minutes(double seconds);
// The rounded duration as "1 h 5 min", with no-break spaces so it never wraps.
QString duration(double seconds);
// The sum of the week's seven days.
double total(const FocusWeek& week);
// The exports are offered, and the week drawn, from one minute of focus on.
bool showsWeek(const FocusWeek& week);
// The day with the most focus seconds, in seconds (0 for an empty week).
double bestDay(const FocusWeek& week);
// The week's total over its focus days (days with a completed pomodoro); 0 without any.
double dailyAverage(const FocusWeek& week);
// Completed pomodoros over the whole week.
int pomodoros(const FocusWeek& week);
// A share's whole percent of the listed total (0 when the total is 0).
int percent(double seconds, double total);

} // namespace StatsNumbers
