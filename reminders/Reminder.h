#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

// A note due at a moment, optionally every day at the same hour and minute.
struct Reminder {
    QUuid id;
    QString text;
    QDateTime at; // the next moment it is due
    bool daily = false;

    bool operator==(const Reminder&) const = default;
};
