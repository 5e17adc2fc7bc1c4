// The longest hold of the main thread while the ten-year focus log (75,000 stretches, about
// 9 MB) saves. Each round finishes a stretch, which starts a save, then runs the event loop
// until the stretch is on disk, timing every stretch of main-thread work on the way (the
// finish itself and each pass of the event loop), as wall time and as the main thread's own CPU
// time (steady on a shared, busy machine, where wall time also counts the waits for a core).
// Goal: under 4 ms, a quarter of a frame.
// Usage: focuslog_save_bench [ROUNDS]   (default 20)
#include "SyntheticLog.h"
#include "focus/FocusLog.h"
#include "focus/StretchCoding.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

class FixedClock final : public Clock {
  public:
    QDateTime now() const override { return at; }
    double monotonic() const override { return 0; }
    double boottime() const override { return 0; }
    QDateTime at = QDateTime(QDate(2026, 12, 7), QTime(18, 0), Qt::LocalTime);
};

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The calling thread's CPU time, ms.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    constexpr int stretchCount = 75000;
    QTemporaryDir dir;
    SettingsStore defaults(dir.path() + "/config", dir.path() + "/data");
    FixedClock clock;
    defaults.setData("focusLog", StretchCoding::toBytes(syntheticLog(clock.at, stretchCount)));
    FocusLog log(defaults, clock);
    while (log.loading())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (log.stretches().size() != stretchCount) qFatal("the synthetic log did not load");

    std::vector<double> holds, cpuHolds, finishes, saves;
    FocusStretch s;
    s.activity = "Work";
    s.planned = 1500;
    for (int i = 0; i < rounds; ++i) {
        s.start = s.sitting = clock.at.addSecs(i * 1800);
        QElapsedTimer whole, step;
        whole.start();
        step.start();
        double cpu = threadMs();
        log.setCurrent(s);
        log.count(60);
        log.finish(false);
        const double finish = ms(step);
        double longest = finish, longestCpu = threadMs() - cpu;
        while (log.unsavedCount() > 0) {
            step.restart();
            cpu = threadMs();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            longestCpu = std::max(longestCpu, threadMs() - cpu);
            longest = std::max(longest, ms(step));
            QThread::usleep(100); // the loop would sleep here, waiting for events
        }
        finishes.push_back(finish);
        holds.push_back(longest);
        cpuHolds.push_back(longestCpu);
        saves.push_back(ms(whole));
    }
    const qsizetype bytes = defaults.data("focusLog").value_or(QByteArray()).size();
    std::printf("ten-year focus log: %lld stretches, %lld bytes, %d saves\n",
                qlonglong(log.stretches().size()), qlonglong(bytes), rounds);
    std::printf("longest main-thread hold while saving: %7.2f ms  (median of rounds %6.2f ms; "
                "goal under 4 ms)\n",
                *std::max_element(holds.begin(), holds.end()), median(holds));
    std::printf("  the same as main-thread CPU time:     %7.2f ms  (median of rounds %6.2f ms)\n",
                *std::max_element(cpuHolds.begin(), cpuHolds.end()), median(cpuHolds));
    std::printf("finish() on the main thread:           %7.2f ms  (median %6.2f ms)\n",
                *std::max_element(finishes.begin(), finishes.end()), median(finishes));
    std::printf("until the stretch is on disk:          %7.2f ms  (median %6.2f ms)\n",
                *std::max_element(saves.begin(), saves.end()), median(saves));
    return 0;
}
