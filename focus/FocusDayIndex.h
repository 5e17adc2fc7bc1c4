#pragma once

#include "focus/FocusRecords.h"

#include <QByteArray>
#include <QDate>
#include <set>
#include <span>
#include <unordered_map>
#include <vector>

// Finished stretches by the local day they started on, so the statistics do not rescan
// the whole log on every redraw. Built for one time zone; a change of zone rebuilds it.
class FocusDayIndex {
  public:
    // Rebuilds from the log when never built or built for another zone.
    void refresh(const QList<FocusStretch>& stretches);
    // Adds the stretch at `position` (the newest); a no-op while the index is not built.
    void add(const FocusStretch& stretch, qsizetype position);
    void clear() { built_ = false; }

    // Positions in the log of the stretches that started on the day, oldest first.
    std::span<const qsizetype> on(QDate day) const;
    // Days with at least one completed stretch.
    const std::set<QDate>& focusDays() const { return focusDays_; }

  private:
    void insert(const FocusStretch& stretch, qsizetype position);

    std::unordered_map<qint64, std::vector<qsizetype>> byDay_;
    std::set<QDate> focusDays_;
    QByteArray zone_;
    bool built_ = false;
};
