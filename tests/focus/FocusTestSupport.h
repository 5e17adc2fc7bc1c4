#pragma once

#include "focus/FocusLog.h"

#include <QDateTime>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Local wall-clock times in the test zone (Europe/Berlin).
inline QDateTime local(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

inline FocusLog::Stretch stretch(const QDateTime& start, double seconds, bool completed,
                                 const QString& activity = QStringLiteral("Work"),
                                 QDateTime sitting = {}) {
    FocusLog::Stretch s;
    s.activity = activity;
    s.start = start;
    s.sitting = sitting.isValid() ? sitting : start;
    s.planned = 1500;
    s.seconds = seconds;
    s.completed = completed;
    return s;
}

// A completed pomodoro on a day, one sitting each.
inline FocusLog::Stretch pomodoroOn(QDate day) {
    return stretch(QDateTime(day, QTime(9, 0), Qt::LocalTime), 1500, true);
}
