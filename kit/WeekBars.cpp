#include "kit/WeekBars.h"

#include "base/Calendar.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

QList<double> sevenOf(QList<double> seconds) {
    seconds.resize(7, 0.0);
    for (double& s : seconds)
        if (!std::isfinite(s) || s < 0) s = 0;
    return seconds;
}

QDate orToday(QDate date) {
    return date.isValid() ? date : Calendar::dayOf(QDateTime::currentDateTime());
}

QList<double> secondsOf(const FocusWeek& week) {
    QList<double> seconds;
    for (const FocusDay& day : week.days)
        seconds.push_back(day.seconds);
    return seconds;
}

} // namespace

WeekBars::WeekBars(QList<double> seconds, std::optional<int> today, double height, double labelSize,
                   QWidget* parent)
    : QWidget(parent), height_(height), labelSize_(labelSize) {
    setSeconds(std::move(seconds), today);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

WeekBars::WeekBars(const FocusWeek& week, double height, double labelSize, QWidget* parent,
                   QDate date)
    : WeekBars(secondsOf(week), todayIndex(week, orToday(date)), height, labelSize, parent) {}

std::optional<int> WeekBars::todayIndex(const FocusWeek& week, QDate date) {
    for (int i = 0; i < week.days.size(); ++i)
        if (Calendar::dayOf(week.days[i].date) == date) return i;
    return std::nullopt;
}

void WeekBars::setSeconds(QList<double> seconds, std::optional<int> today) {
    seconds = sevenOf(std::move(seconds));
    if (today && (*today < 0 || *today > 6)) today.reset();
    if (seconds == seconds_ && today == today_) return;
    seconds_ = std::move(seconds);
    today_ = today;
    update();
}

void WeekBars::setWeek(const FocusWeek& week, QDate date) {
    setSeconds(secondsOf(week), todayIndex(week, orToday(date)));
}

double WeekBars::labelHeight() const {
    return std::ceil(QFontMetricsF(Fonts::rounded(labelSize_, QFont::Black)).height());
}

QSize WeekBars::sizeHint() const {
    return {int(7 * 24 + 6 * columnSpacing), int(std::ceil(height_ + labelGap + labelHeight()))};
}

QSize WeekBars::minimumSizeHint() const {
    return {int(7 * 12 + 6 * columnSpacing), sizeHint().height()};
}

QRectF WeekBars::barRect(int column) const {
    const double scale = std::max(*std::max_element(seconds_.begin(), seconds_.end()), 1.0);
    const double columnWidth = (width() - 6 * columnSpacing) / 7;
    const double bar = std::max(seconds_[column] * height_ / scale, minimumBar);
    const double x = column * (columnWidth + columnSpacing);
    return {x, height_ - bar, columnWidth, bar};
}

void WeekBars::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QStringList names = S().weekdays();
    const QFont labelFont = Fonts::rounded(labelSize_, QFont::DemiBold);
    const QFont todayFont = Fonts::rounded(labelSize_, QFont::Black);
    for (int i = 0; i < 7; ++i) {
        const bool isToday = today_ == i;
        const double line = isToday ? 2.5 : 1.5;
        // The outline stays inside the column so neighbours and the edges never clip it.
        const QRectF bar = barRect(i).adjusted(line / 2, line / 2, -line / 2, -line / 2);
        QPainterPath path;
        path.addRoundedRect(bar, 4, 4);
        p.setPen(QPen(Theme::ink(), line));
        p.setBrush(seconds_[i] > 0 ? Theme::pink() : Theme::cream());
        p.drawPath(path);

        const QRectF label(barRect(i).x(), height_ + labelGap, barRect(i).width(), labelHeight());
        p.setFont(isToday ? todayFont : labelFont);
        p.setPen(isToday ? Theme::ink() : Theme::inkSoft());
        p.drawText(label, Qt::AlignHCenter | Qt::AlignTop, names.value(i));
    }
}
