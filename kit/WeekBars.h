#pragma once

#include "focus/FocusRecords.h"

#include <QDate>
#include <QList>
#include <QRectF>
#include <QWidget>
#include <optional>

// WeekBars: the week as seven bars with weekday labels, Monday first, today's outlined more
// heavily. The tallest bar is `height` points; empty days are 6-point cream stubs. Drawn by
// the statistics screen, the story card, the PDF and the report bubble: it paints only with
// QPainter, so it renders the same into a QImage or a QPdfWriter as on screen.
//
//   WeekBars bars(week, 64, 11);               // today found in the week by the local date
//   WeekBars bars(seconds, 2, 70, 15);         // seven daily totals and today's index
class WeekBars final : public QWidget {
    Q_OBJECT
  public:
    static constexpr double columnSpacing = 4;
    static constexpr double labelGap = 4;   // between a bar and its label
    static constexpr double minimumBar = 6; // an empty or tiny day still shows a stub

    WeekBars(QList<double> seconds, std::optional<int> today, double height, double labelSize,
             QWidget* parent = nullptr);
    // `today` is the index of the first day of the week whose date is `date` (default: the
    // local date now), or none when the week is another one.
    WeekBars(const FocusWeek& week, double height, double labelSize, QWidget* parent = nullptr,
             QDate date = {});

    static std::optional<int> todayIndex(const FocusWeek& week, QDate date);

    // Live updates keep the widget and repaint it.
    void setSeconds(QList<double> seconds, std::optional<int> today);
    void setWeek(const FocusWeek& week, QDate date = {});

    const QList<double>& seconds() const { return seconds_; }
    std::optional<int> today() const { return today_; }
    // A column's bar in widget coordinates, as laid out at the current width.
    QRectF barRect(int column) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double labelHeight() const;

    QList<double> seconds_;
    std::optional<int> today_;
    double height_;
    double labelSize_;
};
