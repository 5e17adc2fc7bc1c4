#include "updates/UpdateSchedule.h"

#include "platform/Settings.h"

namespace {
constexpr const char* checkedKey = "updateCheckedAt";
}

UpdateSchedule::UpdateSchedule(Settings& defaults, int firstCheckMs, std::function<void()> check,
                               QObject* parent)
    : QObject(parent), defaults_(defaults), check_(std::move(check)) {
    timer_.setInterval(3600 * 1000);
    connect(&timer_, &QTimer::timeout, this, &UpdateSchedule::hourly);
    timer_.start();
    QTimer::singleShot(firstCheckMs, this, [this] { check_(); });
}

void UpdateSchedule::hourly() {
    const auto last = defaults_.date(checkedKey);
    if (!last || last->secsTo(QDateTime::currentDateTimeUtc()) >= 86400)
        QTimer::singleShot(0, this, [this] { check_(); });
}

void UpdateSchedule::started() {
    defaults_.setDate(checkedKey, QDateTime::currentDateTimeUtc());
}
