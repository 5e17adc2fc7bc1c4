#pragma once

#include "focus/FocusRecords.h"
#include "kit/Card.h"

#include <QDate>
#include <QWidget>

// The blocks the statistics PDF stacks onto its pages. Each lays out at the page's content
// width and reports its height for it; none is ever split across pages.

// The head: the cat, the title and the dates, six tiles and the week's bars.
class WeekHead final : public QWidget {
    Q_OBJECT
  public:
    WeekHead(const FocusWeek& week, int streak, QDate today, QWidget* parent = nullptr);
};

// One day with focus: its name, duration and pomodoros, and its activities on one line.
class DayBlock final : public QWidget {
    Q_OBJECT
  public:
    explicit DayBlock(const FocusDay& day, QWidget* parent = nullptr);
};

// A small cream card: a title over a value.
class Tile final : public Card {
    Q_OBJECT
  public:
    Tile(const QString& title, const QString& value, QWidget* parent = nullptr);
};

// The activities with their durations and whole percents of the listed total.
class SharesBlock final : public QWidget {
    Q_OBJECT
  public:
    SharesBlock(const QString& title, const QList<FocusShare>& shares, QWidget* parent = nullptr);
};
