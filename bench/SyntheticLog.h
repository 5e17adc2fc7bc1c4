#pragma once

#include "focus/StretchCoding.h"

#include <QDateTime>
#include <QJsonArray>
#include <QStringList>

// `count` stretches over the ten years before `end`, in sittings of one to four stretches,
// most days with a completed one; deterministic.
inline QJsonArray syntheticLog(const QDateTime& end, int count) {
    quint32 seed = 12345;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const QStringList activities{"Work", "Reading", "Code", "Mail", "Piano", "Study", "Writing"};
    const quint32 perDay = quint32(count / 3650);
    QJsonArray out;
    QDate day = end.date().addDays(-3650);
    QString ignored;
    while (out.size() < count) {
        QDateTime t(day, QTime(8, 0), Qt::LocalTime);
        const int today = int(next(2 * perDay + 1));
        for (int i = 0; i < today && out.size() < count;) {
            const QDateTime sitting = t;
            for (int k = int(next(4)) + 1; k > 0 && i < today && out.size() < count; --k, ++i) {
                FocusStretch s;
                s.activity = activities[int(next(quint32(activities.size())))];
                s.start = t;
                s.sitting = sitting;
                s.planned = 1500;
                s.completed = next(5) != 0;
                s.seconds = s.completed ? 1500 : 60 + next(1400);
                out.append(*StretchCoding::encode(s, &ignored));
                t = t.addSecs(1800);
            }
            t = t.addSecs(3600);
        }
        day = day.addDays(1);
    }
    return out;
}
