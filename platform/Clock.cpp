#include "platform/Clock.h"

#include <ctime>

namespace {

class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    double monotonic() const override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
    }
};

} // namespace

Clock& Clock::system() {
    static SystemClock clock;
    return clock;
}
