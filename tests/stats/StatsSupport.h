#pragma once

#include "focus/FocusLog.h"

#include <QDateTime>
#include <QLocale>

// Wall-clock times in the test zone (Europe/Berlin).
inline QDateTime at(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}

inline FocusLog::Stretch worked(const QDateTime& start, double seconds, bool completed,
                                const QString& activity = QStringLiteral("Work")) {
    return {activity, start, start, 1500, seconds, completed};
}

// Dates and times read the same on every machine.
struct EnglishLocale {
    QLocale saved;
    EnglishLocale() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    ~EnglishLocale() { QLocale::setDefault(saved); }
};
