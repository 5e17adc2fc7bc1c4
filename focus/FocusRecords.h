#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One work period of the pomodoro as the focus log keeps it.
struct FocusStretch {
    QString activity;
    QDateTime start;
    QDateTime sitting;  // when the user pressed start; shared by every stretch of that sitting
    double planned = 0; // seconds
    double seconds = 0; // focus seconds counted
    bool completed = false;

    bool operator==(const FocusStretch&) const = default;
};

// Time spent on one activity; the name is its identity.
struct FocusShare {
    QString name;
    double seconds = 0;

    bool operator==(const FocusShare&) const = default;
};

struct FocusDay {
    QDateTime date; // start of the calendar day
    double seconds = 0;
    QList<FocusShare> shares;
    int pomodoros = 0; // completed stretches
    int bestRun = 0;   // longest run of completed stretches within one sitting

    bool operator==(const FocusDay&) const = default;
};

struct FocusWeek {
    QList<FocusDay> days; // seven, Monday first
    QList<FocusShare> shares;
    std::optional<double> sittingSeconds;   // average per sitting; none for an empty week
    std::optional<double> sittingPomodoros; // average per sitting, not rounded

    // Days of the week with at least one completed pomodoro.
    int focusDays() const {
        int n = 0;
        for (const FocusDay& d : days)
            n += d.pomodoros > 0 ? 1 : 0;
        return n;
    }
    bool operator==(const FocusWeek&) const = default;
};

struct FocusStreak {
    int dayCount = 0;
    bool forgivenThisWeek = false; // a missed day of the asked week was forgiven

    bool operator==(const FocusStreak&) const = default;
};
