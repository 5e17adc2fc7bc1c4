#include "menu/StatsLink.h"

#include "focus/FocusLog.h"
#include "platform/Clock.h"
#include "strings/Strings.h"

#include <cmath>

StatsLink::StatsLink(FocusLog& log, Clock& clock, QWidget* parent)
    : LinkCard(S().stats(), parent), log_(log), clock_(clock) {
    connect(&log, &FocusLog::stretchesChanged, this, &StatsLink::refresh);
    connect(&log, &FocusLog::currentChanged, this, &StatsLink::refresh);
    setSubtitle(subtitleFor(log_, clock_.now()));
}

QString StatsLink::subtitleFor(const FocusLog& log, const QDateTime& now) {
    const FocusLog::Day today = log.day(now, 5);
    const int minutes = int(std::lround(today.seconds / 60.0));
    QString text = S().focusToday(nbsp(S().duration(minutes)));
    const FocusLog::Streak streak = log.streak(now);
    if (streak.dayCount >= 1) text += QStringLiteral(" · 🔥 ") + S().days(streak.dayCount);
    return text;
}

void StatsLink::refresh() {
    // The open stretch grows every second; a hidden menu catches up when shown.
    if (isVisible()) setSubtitle(subtitleFor(log_, clock_.now()));
}

void StatsLink::showEvent(QShowEvent* event) {
    LinkCard::showEvent(event);
    setSubtitle(subtitleFor(log_, clock_.now())); // the day may have turned since
}
