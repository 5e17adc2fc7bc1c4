#include "reminders/ReminderEntry.h"

#include "base/Calendar.h"
#include "strings/Strings.h"

#include <QLocale>
#include <QTextBoundaryFinder>
#include <QUuid>
#include <algorithm>

namespace ReminderEntry {

QString cut(const QString& text) {
    if (text.size() <= maxCharacters) return text; // never more characters than code units
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() != -1) {
        if (++count == maxCharacters) return text.left(graphemes.position());
    }
    return text;
}

QString trimmed(const QString& text) {
    return text.trimmed();
}

int fewer(int minutes) {
    return std::max(minutes - minuteStep, minMinutes);
}

int more(int minutes) {
    return std::min(minutes + minuteStep, maxMinutes);
}

Reminder afterMinutes(const QString& text, int minutes, const QDateTime& now) {
    return {QUuid::createUuid(), text, now.addSecs(qint64(minutes) * 60), false};
}

Reminder atTime(const QString& text, QTime time, bool daily, const QDateTime& now) {
    return {QUuid::createUuid(), text, Calendar::nextAt(now, time.hour(), time.minute()), daily};
}

QString when(const Reminder& reminder, const QDateTime& now) {
    const QLocale locale;
    const QDateTime at = reminder.at.toLocalTime();
    const QString time = locale.toString(at.time(), QLocale::ShortFormat);
    const qint64 days = Calendar::dayOf(now).daysTo(at.date());
    if (days == 0) return time;
    if (days == 1) return S().tomorrow(time);
    return locale.toString(at.date(), QStringLiteral("d MMM")) + QLatin1Char(' ') + time;
}

QDateTime nextHour(const QDateTime& now) {
    QDateTime best;
    for (int hour = 0; hour < 24; ++hour) {
        const QDateTime candidate = Calendar::nextAt(now, hour, 0);
        if (candidate > now && (!best.isValid() || candidate < best)) best = candidate;
    }
    return best.isValid() ? best : now;
}

} // namespace ReminderEntry
