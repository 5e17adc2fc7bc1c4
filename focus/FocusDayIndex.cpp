#include "focus/FocusDayIndex.h"

#include "base/Calendar.h"

#include <QTimeZone>

void FocusDayIndex::refresh(const QList<FocusStretch>& stretches) {
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    if (built_ && zone == zone_) return;
    byDay_.clear();
    focusDays_.clear();
    zone_ = zone;
    for (qsizetype i = 0; i < stretches.size(); ++i)
        insert(stretches[i], i);
    built_ = true;
}

void FocusDayIndex::add(const FocusStretch& stretch, qsizetype position) {
    if (built_) insert(stretch, position);
}

void FocusDayIndex::insert(const FocusStretch& stretch, qsizetype position) {
    const QDate day = Calendar::dayOf(stretch.start);
    byDay_[day.toJulianDay()].push_back(position);
    if (stretch.completed) focusDays_.insert(day);
}

std::span<const qsizetype> FocusDayIndex::on(QDate day) const {
    const auto it = byDay_.find(day.toJulianDay());
    if (it == byDay_.end()) return {};
    return it->second;
}
