#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A day's or a week's focus as a report letter shows it.
struct FocusReport {
    // One activity share: its name (or the "more activities" label) and its formatted time.
    struct Row {
        QString name;
        QString time;
        bool operator==(const Row&) const = default;
    };

    QString title;
    QList<Row> rows;
    QStringList notes;
    // Seven daily totals in seconds, Monday first; only in the week report.
    std::optional<QList<double>> bars;

    bool operator==(const FocusReport&) const = default;
};
