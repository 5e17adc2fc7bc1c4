#include "stats/StatsCards.h"

#include "focus/FocusLog.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "kit/WeekBars.h"
#include "stats/Bar.h"
#include "stats/GoalStepper.h"
#include "stats/ShareRows.h"
#include "stats/StatsNumbers.h"
#include "strings/Strings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int padding = 14;

Card::Look statsCard() {
    return {Theme::paper(), 16, 0};
}

QVBoxLayout* padded(QWidget* card, int spacing) {
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);
    return column;
}

// "Label ........ value" on one line.
QHBoxLayout* spread(TextLine* leading, QWidget* trailing) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(leading, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(trailing, 0, Qt::AlignVCenter);
    return row;
}

} // namespace

QLabel* roundedLabel(const QString& text, double size, QFont::Weight weight, const QColor& colour,
                     QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(Fonts::rounded(size, weight));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

StreakCard::StreakCard(QWidget* parent)
    : Card(statsCard(), parent),
      title_(new TextLine({}, Fonts::rounded(17, QFont::ExtraBold), Theme::ink(), this)),
      subtitle_(roundedLabel({}, 12, QFont::DemiBold, Theme::inkSoft(), this)) {
    QVBoxLayout* column = padded(this, 4);
    column->addWidget(title_);
    column->addWidget(subtitle_);
}

void StreakCard::present(const FocusStreak& streak) {
    title_->setText(streak.dayCount < 1 ? S().noStreak() : S().streak(streak.dayCount));
    subtitle_->setText(streak.dayCount == 0      ? S().firstPomodoro()
                       : streak.forgivenThisWeek ? S().dayMissedThisWeek()
                                                 : S().oneMissForgiven());
}

QString StreakCard::title() const {
    return title_->text();
}

QString StreakCard::subtitle() const {
    return subtitle_->text();
}

TodayCard::TodayCard(FocusLog& log, QWidget* parent)
    : Card(statsCard(), parent),
      duration_(new TextLine({}, Fonts::rounded(15, QFont::Normal), Theme::ink(), this)),
      bar_(new Bar(0, Theme::pink(), 12, this)),
      goal_(new TextLine({}, Fonts::rounded(13, QFont::DemiBold), Theme::ink(), this)),
      stepper_(new GoalStepper(log, this)),
      pomodoros_(new TextLine({}, Fonts::rounded(12, QFont::DemiBold), Theme::inkSoft(), this)) {
    QVBoxLayout* column = padded(this, 10);
    column->addLayout(spread(
        new TextLine(S().today(), Fonts::rounded(15, QFont::Bold), Theme::ink(), this), duration_));
    column->addWidget(bar_);
    column->addLayout(spread(goal_, stepper_));
    column->addWidget(pomodoros_);
}

void TodayCard::present(const FocusDay& day, int goalMinutes) {
    const bool reached = goalMinutes * 60.0 <= day.seconds;
    duration_->setText(StatsNumbers::duration(day.seconds));
    bar_->set(goalMinutes > 0 ? day.seconds / (goalMinutes * 60.0) : 1,
              reached ? Theme::mint() : Theme::pink());
    goal_->setText(reached ? S().goalDone() : S().goal());
    stepper_->refresh();
    QString line;
    if (day.pomodoros >= 1) {
        line = QStringLiteral("🍅 ") + S().pomodoros(day.pomodoros);
        if (day.bestRun >= 2) line += QStringLiteral(" · ") + S().runInARow(day.bestRun);
    }
    pomodoros_->setText(line);
    pomodoros_->setVisible(!line.isEmpty());
}

QString TodayCard::duration() const {
    return duration_->text();
}

QString TodayCard::goalText() const {
    return goal_->text();
}

QString TodayCard::pomodoros() const {
    return pomodoros_->isVisibleTo(this) ? pomodoros_->text() : QString();
}

WeekCard::WeekCard(QWidget* parent)
    : Card(statsCard(), parent),
      total_(new TextLine({}, Fonts::rounded(15, QFont::Normal), Theme::ink(), this)),
      empty_(roundedLabel(S().statsEmpty(), 12, QFont::DemiBold, Theme::inkSoft(), this)),
      bars_(new WeekBars(QList<double>(7, 0.0), std::nullopt, 64, 11, this)),
      shares_(new ShareRows({}, this)),
      sitting_(roundedLabel({}, 12, QFont::DemiBold, Theme::inkSoft(), this)) {
    QVBoxLayout* column = padded(this, 10);
    column->addLayout(spread(
        new TextLine(S().week(), Fonts::rounded(15, QFont::Bold), Theme::ink(), this), total_));
    column->addWidget(empty_);
    column->addWidget(bars_);
    column->addWidget(shares_);
    column->addWidget(sitting_);
}

QString WeekCard::pomodorosPerSitting(double value) {
    const double tenths = std::round(value * 10) / 10;
    const QLocale locale;
    if (tenths == std::floor(tenths)) return locale.toString(qint64(tenths));
    return locale.toString(tenths, 'f', 1);
}

void WeekCard::present(const FocusWeek& week, QDate today) {
    const double total = StatsNumbers::total(week);
    const bool shows = StatsNumbers::showsWeek(week);
    total_->setText(StatsNumbers::duration(total));
    empty_->setVisible(!shows);
    bars_->setVisible(shows);
    shares_->setVisible(shows);
    if (shows) {
        bars_->setWeek(week, today);
        shares_->setShares(week.shares);
    }
    QString sitting;
    if (shows && week.sittingSeconds && week.sittingPomodoros)
        sitting = S().sittingAverage(StatsNumbers::duration(*week.sittingSeconds),
                                     pomodorosPerSitting(*week.sittingPomodoros));
    sitting_->setText(sitting);
    sitting_->setVisible(!sitting.isEmpty());
}

QString WeekCard::total() const {
    return total_->text();
}

bool WeekCard::showsEmptyNote() const {
    return empty_->isVisibleTo(this);
}

QString WeekCard::sitting() const {
    return sitting_->isVisibleTo(this) ? sitting_->text() : QString();
}
