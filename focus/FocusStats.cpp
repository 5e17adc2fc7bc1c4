// The aggregates of the focus log: shares, days, weeks, focus days and streaks.
#include "base/Calendar.h"
#include "focus/FocusLog.h"
#include "strings/Strings.h"

#include <QHash>
#include <algorithm>
#include <map>

QList<FocusLog::Share> FocusLog::shares(const QList<Stretch>& stretches, int limit) {
    limit = std::max(limit, 1);
    QList<Share> out;
    QHash<QString, qsizetype> at;
    for (const Stretch& s : stretches) {
        const auto it = at.constFind(s.activity);
        if (it == at.constEnd()) {
            at.insert(s.activity, out.size());
            out.push_back({s.activity, s.seconds});
        } else {
            out[*it].seconds += s.seconds;
        }
    }
    std::sort(out.begin(), out.end(), [](const Share& a, const Share& b) {
        if (a.seconds != b.seconds) return a.seconds > b.seconds;
        return a.name < b.name;
    });
    if (out.size() <= limit) return out;
    const qsizetype folded = out.size() - (limit - 1);
    double rest = 0;
    for (qsizetype i = limit - 1; i < out.size(); ++i)
        rest += out[i].seconds;
    out.resize(limit - 1);
    out.push_back({S().moreActivities(int(folded)), rest});
    return out;
}

const FocusDayIndex& FocusLog::index() const {
    index_.refresh(stretches_);
    return index_;
}

QList<FocusLog::Stretch> FocusLog::startedOn(QDate day) const {
    QList<Stretch> kept;
    for (const qsizetype i : index_.on(day))
        kept.push_back(stretches_[i]);
    if (current_ && Calendar::dayOf(current_->start) == day) kept.push_back(*current_);
    return kept;
}

FocusLog::Day FocusLog::dayOf(QDate date, int limit) const {
    const QList<Stretch> kept = startedOn(date);
    Day day;
    day.date = Calendar::startOfDay(date);
    std::optional<QDateTime> sitting;
    int counter = 0;
    for (const Stretch& s : kept) {
        if (!sitting || *sitting != s.sitting)
            counter = s.completed ? 1 : 0;
        else
            counter = s.completed ? counter + 1 : 0;
        sitting = s.sitting;
        day.bestRun = std::max(day.bestRun, counter);
        day.seconds += s.seconds;
        day.pomodoros += s.completed ? 1 : 0;
    }
    day.shares = shares(kept, limit);
    return day;
}

FocusLog::Day FocusLog::day(const QDateTime& date, int limit) const {
    index();
    return dayOf(Calendar::dayOf(date), limit);
}

FocusLog::Week FocusLog::week(const QDateTime& date, int limit) const {
    index();
    const QDate monday = Calendar::mondayOf(Calendar::dayOf(date));
    Week week;
    QList<Stretch> kept;
    for (int i = 0; i < 7; ++i) {
        week.days.push_back(dayOf(monday.addDays(i), limit));
        kept += startedOn(monday.addDays(i));
    }
    week.shares = shares(kept, limit);
    std::map<qint64, bool> sittings;
    double seconds = 0;
    int completed = 0;
    for (const Stretch& s : kept) {
        sittings[s.sitting.toMSecsSinceEpoch()] = true;
        seconds += s.seconds;
        completed += s.completed ? 1 : 0;
    }
    if (!sittings.empty()) {
        const double g = double(sittings.size());
        week.sittingSeconds = seconds / g;
        week.sittingPomodoros = completed / g;
    }
    return week;
}

std::set<QDate> FocusLog::focusDays() const {
    std::set<QDate> days = index().focusDays();
    if (current_ && current_->completed) days.insert(Calendar::dayOf(current_->start));
    return days;
}

FocusLog::Run FocusLog::run(QDate endingOn, const std::set<QDate>& days) {
    Run run;
    for (QDate day = endingOn;; day = day.addDays(-1)) {
        if (days.count(day)) {
            ++run.count;
            continue;
        }
        const QDate week = Calendar::mondayOf(day);
        if (days.count(day.addDays(-1)) && !run.frozen.count(week)) {
            run.frozen.insert(week);
            continue;
        }
        return run;
    }
}

FocusLog::Streak FocusLog::streak(const QDateTime& date) const {
    const QDate today = Calendar::dayOf(date);
    // The open stretch is never completed, so the index holds every focus day.
    const std::set<QDate>& days =
        current_ && current_->completed ? focusDays() : index().focusDays();
    const Run r = run(days.count(today) ? today : today.addDays(-1), days);
    return {r.count, r.frozen.count(Calendar::mondayOf(today)) > 0};
}
