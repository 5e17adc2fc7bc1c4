#include "platform/Clock.h"

#include "platform/StoredDate.h"

#include <ctime>

double Clock::seconds() const {
    return StoredDate::toSeconds(now());
}

namespace {

class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    double seconds() const override { return StoredDate::nowSeconds(); }
    double monotonic() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
    double boottime() const override {
        timespec ts{};
        clock_gettime(CLOCK_BOOTTIME, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
};

} // namespace

Clock& Clock::system() {
    static SystemClock clock;
    return clock;
}
