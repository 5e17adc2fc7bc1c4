#pragma once

#include "reminders/Reminder.h"

#include <QDateTime>
#include <QString>
#include <QTime>

// The reminders editor's rules, apart from any widget: the text limit, the minute stepper,
// the two ways a new reminder gets its due time, and how a due time is described.
namespace ReminderEntry {

inline constexpr int maxCharacters = 120;
inline constexpr int minMinutes = 5;
inline constexpr int maxMinutes = 480;
inline constexpr int minuteStep = 5;
inline constexpr int initialMinutes = 30;

// The first 120 user-perceived characters; a longer paste is cut, an emoji is never split.
QString cut(const QString& text);
// What gets stored: the text without white space or line breaks at either end.
QString trimmed(const QString& text);

// The stepper: 5 less but not under 5, 5 more but not over 480.
int fewer(int minutes);
int more(int minutes);

// A one-shot reminder due `minutes` after now.
Reminder afterMinutes(const QString& text, int minutes, const QDateTime& now);
// A reminder due at the next wall-clock `time` (hour and minute) strictly after now; a time
// missing in a daylight-saving gap gives the first moment after it, a repeated one the first.
Reminder atTime(const QString& text, QTime time, bool daily, const QDateTime& now);

// "09:00", "tomorrow 09:00" or "9 Dec 09:00", in the default locale.
QString when(const Reminder& reminder, const QDateTime& now);
// The next full hour after now (local wall clock), with the same gap and repeat rules.
QDateTime nextHour(const QDateTime& now);

} // namespace ReminderEntry
