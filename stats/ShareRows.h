#pragma once

#include "focus/FocusRecords.h"

#include <QList>
#include <QWidget>

class QVBoxLayout;

// The week's activities, largest first: each a name with its duration and a blush bar
// showing its part of the whole week (not of the largest share).
class ShareRows final : public QWidget {
    Q_OBJECT
  public:
    explicit ShareRows(const QList<FocusShare>& shares, QWidget* parent = nullptr);

    // Rebuilds the rows only when the list changed in more than its durations.
    void setShares(const QList<FocusShare>& shares);
    const QList<FocusShare>& shares() const { return shares_; }
    // Each row's bar fraction, in order (for tests).
    QList<double> fractions() const;

  private:
    void rebuild();
    void refill();

    QList<FocusShare> shares_;
    QVBoxLayout* rows_;
};
