#include "stats/StatsScreen.h"

#include "base/Calendar.h"
#include "focus/FocusLog.h"
#include "kit/ChunkyButton.h"
#include "kit/ScreenHeader.h"
#include "kit/Theme.h"
#include "platform/Clock.h"
#include "stats/Export.h"
#include "stats/StatsCards.h"
#include "stats/StatsNumbers.h"
#include "stats/StatsPDF.h"
#include "stats/StoryCard.h"
#include "strings/Strings.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {} // namespace

StatsScreen::StatsScreen(FocusLog& log, Clock& clock, WorkAreaHeight workArea,
                         std::function<void()> back, QWidget* parent)
    : QWidget(parent), log_(log), clock_(clock), workArea_(std::move(workArea)),
      scroll_(new QScrollArea(this)), cards_(new QWidget), streak_(new StreakCard(cards_)),
      today_(new TodayCard(log, cards_)), week_(new WeekCard(cards_)), exports_(new QWidget(this)),
      story_(new ChunkyButton(S().forStories(), {Theme::sky(), 13}, exports_)),
      pdf_(new ChunkyButton(S().asPDF(), {Theme::sky(), 13}, exports_)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    column->addLayout(screenHeader(this, S().stats(), std::move(back)));

    auto* stack = new QVBoxLayout(cards_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    stack->addWidget(streak_);
    stack->addWidget(today_);
    stack->addWidget(week_);
    stack->addStretch(1);
    scroll_->setWidget(cards_);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // No Tab stop of its own (it came before Back): it scrolls to the control that has the focus.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Transparent: the window's cream shows between the cards.
    scroll_->viewport()->setAutoFillBackground(false);
    cards_->setAutoFillBackground(false);
    column->addWidget(scroll_);

    auto* buttons = new QHBoxLayout(exports_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(10);
    buttons->addWidget(story_, 1);
    buttons->addWidget(pdf_, 1);
    story_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    pdf_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    column->addWidget(exports_);
    // The save dialog runs from the event loop, not inside the click: the menu window may
    // still close (and drop this screen) while it is open. The models outlive every window.
    // The menu window waits behind the dialog.
    FocusLog* logModel = &log_;
    Clock* clockModel = &clock_;
    connect(story_, &QAbstractButton::clicked, this, [logModel, clockModel] {
        QTimer::singleShot(0, qApp, [logModel, clockModel] {
            const Export::PopupKept behind;
            StoryCard::save(*logModel, clockModel->now());
        });
    });
    connect(pdf_, &QAbstractButton::clicked, this, [logModel, clockModel] {
        QTimer::singleShot(0, qApp, [logModel, clockModel] {
            const Export::PopupKept behind;
            StatsPDF::save(*logModel, clockModel->now());
        });
    });

    midnight_.setSingleShot(true);
    connect(&midnight_, &QTimer::timeout, this, &StatsScreen::refresh);
    // Live: a running pomodoro counts into the open stretch every second.
    connect(&log_, &FocusLog::currentChanged, this, &StatsScreen::refresh);
    connect(&log_, &FocusLog::stretchesChanged, this, &StatsScreen::refresh);
    connect(&log_, &FocusLog::goalMinutesChanged, this, &StatsScreen::refresh);
    refresh();
}

double StatsScreen::scrollLimit(std::optional<double> workAreaHeight) {
    if (!workAreaHeight) return 650;
    return std::max(0.0, *workAreaHeight - 150);
}

void StatsScreen::refresh() {
    const QDateTime now = clock_.now();
    const FocusLog::Week week = log_.week(now, 5);
    streak_->present(log_.streak(now));
    today_->present(log_.day(now, 5), log_.goalMinutes());
    week_->present(week, Calendar::dayOf(now));
    exports_->setVisible(StatsNumbers::showsWeek(week));
    fitScrollArea();
    const qint64 untilMidnight = now.msecsTo(Calendar::startOfDay(Calendar::dayOf(now).addDays(1)));
    midnight_.start(int(std::clamp<qint64>(untilMidnight + 500, 1000, 86'400'000)));
}

void StatsScreen::fitScrollArea() {
    QLayout* stack = cards_->layout();
    const int width =
        scroll_->viewport()->width() > 0 ? scroll_->viewport()->width() : this->width();
    stack->activate();
    const double height = stack->hasHeightForWidth() ? stack->totalHeightForWidth(width)
                                                     : stack->totalSizeHint().height();
    cardsHeight_ = height;
    const int fitted =
        int(std::ceil(std::min(height, scrollLimit(workArea_ ? workArea_() : std::nullopt))));
    if (scroll_->height() != fitted || scroll_->minimumHeight() != fitted)
        scroll_->setFixedHeight(fitted);
}

void StatsScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitScrollArea();
}

void StatsScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh(); // the day may have changed while the screen was away
}
