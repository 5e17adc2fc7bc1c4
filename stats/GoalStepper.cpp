#include "stats/GoalStepper.h"

#include "focus/FocusLog.h"
#include "kit/ChunkyButton.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QHBoxLayout>

std::optional<int> GoalStepper::previous(int minutes) {
    std::optional<int> best;
    for (int choice : FocusLog::goalChoices())
        if (choice < minutes) best = choice;
    return best;
}

std::optional<int> GoalStepper::next(int minutes) {
    for (int choice : FocusLog::goalChoices())
        if (choice > minutes) return choice;
    return std::nullopt;
}

GoalStepper::GoalStepper(FocusLog& log, QWidget* parent)
    : QWidget(parent), log_(log),
      minus_(new ChunkyButton(QStringLiteral("−"), {Theme::sky(), 11}, this)),
      value_(new TextLine({}, Fonts::rounded(13, QFont::Bold), Theme::ink(), this)),
      plus_(new ChunkyButton(QStringLiteral("+"), {Theme::sky(), 11}, this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    value_->setTabular(true);
    value_->setAlignment(Qt::AlignCenter);
    value_->setFixedWidth(52);
    row->addWidget(minus_, 0, Qt::AlignVCenter);
    row->addWidget(value_, 0, Qt::AlignVCenter);
    row->addWidget(plus_, 0, Qt::AlignVCenter);
    connect(minus_, &QAbstractButton::clicked, this, [this] {
        if (const auto to = previous(log_.goalMinutes())) log_.setGoalMinutes(*to);
    });
    connect(plus_, &QAbstractButton::clicked, this, [this] {
        if (const auto to = next(log_.goalMinutes())) log_.setGoalMinutes(*to);
    });
    refresh();
}

QString GoalStepper::text() const {
    return value_->text();
}

void GoalStepper::refresh() {
    const int goal = log_.goalMinutes();
    value_->setText(S().duration(goal)); // the one duration that keeps ordinary spaces
    minus_->setEnabled(previous(goal).has_value());
    plus_->setEnabled(next(goal).has_value());
}
