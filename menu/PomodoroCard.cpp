#include "menu/PomodoroCard.h"

#include "focus/Pomodoro.h"
#include "kit/ChunkyButton.h"
#include "kit/FieldCard.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"
#include "menu/ActivityEditor.h"
#include "menu/MinutesRow.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

PomodoroCard::PomodoroCard(Pomodoro& pomodoro, FocusLog& log, QWidget* parent)
    : Card(panel(), parent), pomodoro_(pomodoro) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(10);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    titleRow->addWidget(
        new TextLine(S().pomodoro(), Fonts::rounded(15, QFont::Bold), Theme::ink()));
    titleRow->addStretch(1);
    status_ = new TextLine({}, Fonts::rounded(13, QFont::DemiBold), Theme::inkSoft());
    status_->setTabular(true);
    titleRow->addWidget(status_);
    column->addLayout(titleRow);

    editor_ = new ActivityEditor(pomodoro, log);
    column->addWidget(editor_);
    running_ = new TextLine({}, Fonts::rounded(13, QFont::DemiBold), Theme::ink());
    column->addWidget(running_);

    work_ = new MinutesRow(S().work(), Pomodoro::workChoices(),
                           [this](int m) { pomodoro_.setWorkMinutes(m); });
    break_ = new MinutesRow(S().breakTime(), Pomodoro::breakChoices(),
                            [this](int m) { pomodoro_.setBreakMinutes(m); });
    work_->minus()->setObjectName(QStringLiteral("workMinus"));
    work_->plus()->setObjectName(QStringLiteral("workPlus"));
    break_->minus()->setObjectName(QStringLiteral("breakMinus"));
    break_->plus()->setObjectName(QStringLiteral("breakPlus"));
    column->addWidget(work_);
    column->addWidget(break_);
    work_->setValue(pomodoro.workMinutes());
    break_->setValue(pomodoro.breakMinutes());

    startStop_ = new ChunkyButton(S().start(), {Theme::pink(), 14});
    startStop_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    startStop_->setObjectName(QStringLiteral("startStop"));
    column->addWidget(startStop_);
    connect(startStop_, &QAbstractButton::clicked, this, [this] {
        if (pomodoro_.phase().isOff())
            pomodoro_.start();
        else
            pomodoro_.stop();
    });

    // Return in the name field starts the timer; the focus then goes to Stop.
    connect(editor_->field(), &QLineEdit::returnPressed, this, [this] {
        if (!pomodoro_.phase().isOff()) return;
        pomodoro_.start();
        startStop_->setFocus(Qt::OtherFocusReason);
    });

    connect(&pomodoro, &Pomodoro::workMinutesChanged, work_, &MinutesRow::setValue);
    connect(&pomodoro, &Pomodoro::breakMinutesChanged, break_, &MinutesRow::setValue);
    connect(&pomodoro, &Pomodoro::phaseChanged, this, &PomodoroCard::showPhase);
    connect(&pomodoro, &Pomodoro::nowChanged, this,
            [this] { status_->setText(status(pomodoro_)); });
    connect(&pomodoro, &Pomodoro::activityChanged, this,
            [this](const QString& name) { running_->setText(QStringLiteral("💻 ") + name); });
    running_->setText(QStringLiteral("💻 ") + pomodoro.activity());
    showPhase();
}

QString PomodoroCard::status(const Pomodoro& pomodoro) {
    const std::optional<double> left = pomodoro.remaining();
    if (!left) return {};
    const QString what =
        pomodoro.phase().kind == Pomodoro::Phase::Kind::rest ? S().breakTime() : S().working();
    return what + QStringLiteral(" · ") + countdown(*left);
}

void PomodoroCard::focusFirst() {
    if (pomodoro_.phase().isOff()) {
        editor_->field()->setFocus(Qt::OtherFocusReason);
        editor_->field()->selectAll();
    } else {
        startStop_->setFocus(Qt::OtherFocusReason);
    }
}

void PomodoroCard::showPhase() {
    const bool off = pomodoro_.phase().isOff();
    editor_->setVisible(off);
    running_->setVisible(!off);
    status_->setText(status(pomodoro_));
    startStop_->setText(off ? S().start() : S().stop());
    startStop_->setLook({off ? Theme::pink() : Theme::paper(), 14});
}
