// The daily and weekly report letters of the focus log and their 21:00 schedule.
#include "base/Calendar.h"
#include "base/Log.h"
#include "focus/FocusLog.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "strings/Strings.h"

#include <QLocale>

namespace {

// Whole minutes, the fraction dropped, never broken across lines.
QString durationText(double seconds) {
    return nbsp(S().duration(int(seconds / 60)));
}

QList<FocusReport::Row> rowsOf(const QList<FocusShare>& shares) {
    QList<FocusReport::Row> rows;
    for (const FocusShare& s : shares)
        rows.push_back({s.name, durationText(s.seconds)});
    return rows;
}

const QTime reportTime(21, 0);

} // namespace

void FocusLog::checkReport() {
    if (!persists()) return;
    const QDateTime now = clock_.now();
    const QDate today = Calendar::dayOf(now);
    QDateTime due = Calendar::at(today, reportTime);
    if (due > now) due = Calendar::at(today.addDays(-1), reportTime);
    std::optional<QDateTime> last = defaults_->date(QLatin1String(reportedKey));
    // A slot marked handled in the future was marked while the clock was wrong; trusting it
    // would silence every report until that date.
    if (last && *last > now) {
        Log::notice(QStringLiteral("focus: the last report is marked in the future; the clock "
                                   "was wrong, so it counts as never sent"));
        last.reset();
    }
    if (last && *last >= due) return;
    defaults_->setDate(QLatin1String(reportedKey), due);

    if (Calendar::dayOf(due).dayOfWeek() == Qt::Sunday) {
        double total = 0;
        for (const Day& d : week(due, 5).days)
            total += d.seconds;
        if (total >= 60) {
            Log::info(QStringLiteral("focus: the week's report"));
            onReport(weekReport(due));
        }
    }
    if (day(due, 5).seconds >= 60) {
        Log::info(QStringLiteral("focus: the day's report"));
        onReport(report(due));
    }
}

Letter FocusLog::report(const QDateTime& date) const {
    const Day d = day(date, 5);
    FocusReport r;
    if (d.pomodoros >= 1) {
        QString note = QStringLiteral("🍅 ") + S().pomodoros(d.pomodoros);
        if (d.bestRun >= 2) note += QStringLiteral(", ") + S().runInARow(d.bestRun);
        r.notes << note;
    }
    const double goal = goalMinutes_ * 60.0;
    if (goal <= d.seconds)
        r.notes << S().goalReached(durationText(goal));
    else
        r.notes << S().goalProgress(durationText(d.seconds), durationText(goal));
    const int s = streak(date).dayCount;
    if (s > 1) r.notes << S().streak(s);
    r.title = S().dayReportTitle();
    r.rows = rowsOf(d.shares);

    const bool today = Calendar::dayOf(date) == Calendar::dayOf(clock_.now());
    const QString total = durationText(d.seconds);
    return {today ? S().todayGreeting(total) : S().yesterdayGreeting(total), r, false};
}

Letter FocusLog::weekReport(const QDateTime& date) const {
    const Week w = week(date, 5);
    const bool thisWeek = Calendar::mondayOf(Calendar::dayOf(date)) ==
                          Calendar::mondayOf(Calendar::dayOf(clock_.now()));
    int pomodoros = 0;
    double total = 0;
    int best = 0;
    QList<double> bars;
    for (int i = 0; i < w.days.size(); ++i) {
        pomodoros += w.days[i].pomodoros;
        total += w.days[i].seconds;
        if (w.days[i].seconds > w.days[best].seconds) best = i;
        bars << w.days[i].seconds;
    }
    FocusReport r;
    r.notes << QStringLiteral("🍅 ") + S().pomodoros(pomodoros);
    r.notes << S().focusDaysOfWeek(w.focusDays());
    const QString weekday = QLocale().dayName(best + 1, QLocale::LongFormat);
    r.notes << S().bestDayNote(weekday, durationText(w.days[best].seconds));
    const int s = streak(date).dayCount;
    if (s > 1) r.notes << S().streak(s);
    r.title = S().weekReportTitle();
    r.rows = rowsOf(w.shares);
    r.bars = bars;
    const QString totalText = durationText(total);
    return {thisWeek ? S().thisWeekGreeting(totalText) : S().lastWeekGreeting(totalText), r, false};
}
