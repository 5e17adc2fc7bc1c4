#pragma once

#include "focus/FocusRecords.h"
#include "kit/Card.h"

#include <QDate>

class Bar;
class FocusLog;
class GoalStepper;
class QLabel;
class ShareRows;
class TextLine;
class WeekBars;

// The statistics screen's three cards. Each keeps its widgets and takes new numbers in place,
// so a live update repaints without rebuilding.

// The streak: its length, or the invitation to start one, and the forgiveness note.
class StreakCard final : public Card {
    Q_OBJECT
  public:
    explicit StreakCard(QWidget* parent = nullptr);
    void present(const FocusStreak& streak);
    QString title() const;
    QString subtitle() const;

  private:
    TextLine* title_;
    QLabel* subtitle_;
};

// Today against the daily goal, with the goal's stepper and the day's pomodoros.
class TodayCard final : public Card {
    Q_OBJECT
  public:
    TodayCard(FocusLog& log, QWidget* parent = nullptr);
    void present(const FocusDay& day, int goalMinutes);
    QString duration() const;
    QString goalText() const;
    Bar* bar() const { return bar_; }
    GoalStepper* stepper() const { return stepper_; }
    QString pomodoros() const; // empty while hidden

  private:
    TextLine* duration_;
    Bar* bar_;
    TextLine* goal_;
    GoalStepper* stepper_;
    TextLine* pomodoros_;
};

// The week: its total, then either the empty note or the bars, the activities and the
// average sitting.
class WeekCard final : public Card {
    Q_OBJECT
  public:
    explicit WeekCard(QWidget* parent = nullptr);
    void present(const FocusWeek& week, QDate today);
    QString total() const;
    bool showsEmptyNote() const;
    WeekBars* bars() const { return bars_; }
    ShareRows* shares() const { return shares_; }
    QString sitting() const; // empty while hidden

    // "2.5", "3": at most one fraction digit, in the default locale.
    static QString pomodorosPerSitting(double value);

  private:
    TextLine* total_;
    QLabel* empty_;
    WeekBars* bars_;
    ShareRows* shares_;
    QLabel* sitting_;
};

// A wrapping label in the rounded font.
QLabel* roundedLabel(const QString& text, double size, QFont::Weight weight, const QColor& colour,
                     QWidget* parent);
