#pragma once

#include "focus/FocusReport.h"

#include <QWidget>

// A focus report inside a letter: the greeting, the week's bars when the report has them, a
// card with one line per activity and its time, and the notes below.
class ReportBody final : public QWidget {
    Q_OBJECT
  public:
    ReportBody(const QString& greeting, const FocusReport& report, QWidget* parent = nullptr);
};

// The report's rows on a blush card: each activity's name on one line, its time at the right
// with digits of equal width.
class ReportRows final : public QWidget {
    Q_OBJECT
  public:
    explicit ReportRows(QList<FocusReport::Row> rows, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<FocusReport::Row> rows_;
};
