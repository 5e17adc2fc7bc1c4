// The focus log over ten years of use: what the statistics screen asks on every redraw,
// the set of focus days, and the save after every finished stretch; and the pomodoro's tick
// after the clock jumped ten years.
#include "SyntheticLog.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "focus/StretchCoding.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class FixedClock final : public Clock {
  public:
    QDateTime now() const override { return at; }
    double monotonic() const override { return 0; }
    double boottime() const override { return 0; }
    QDateTime at = QDateTime(QDate(2026, 12, 7), QTime(18, 0), Qt::LocalTime);
};

constexpr int stretchCount = 20000;

struct World {
    QTemporaryDir dir;
    SettingsStore defaults{dir.path() + "/config", dir.path() + "/data"};
    FixedClock clock;
    std::unique_ptr<FocusLog> log;
    World() {
        defaults.setData("focusLog", StretchCoding::toBytes(syntheticLog(clock.at, stretchCount)));
        log = std::make_unique<FocusLog>(defaults, clock);
        if (log->stretches().size() != stretchCount)
            qFatal("synthetic log did not load: %lld", qlonglong(log->stretches().size()));
    }
};

World& world() {
    static World w;
    return w;
}

void BM_DayWeekStreak(benchmark::State& state) {
    FocusLog& log = *world().log;
    const QDateTime now = world().clock.at;
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.day(now, 5));
        benchmark::DoNotOptimize(log.week(now, 5));
        benchmark::DoNotOptimize(log.streak(now));
    }
    state.counters["streak"] = log.streak(now).dayCount;
}

void BM_FocusDays(benchmark::State& state) {
    FocusLog& log = *world().log;
    for (auto _ : state)
        benchmark::DoNotOptimize(log.focusDays());
    state.counters["days"] = double(log.focusDays().size());
}

// For comparison: one full rescan of the log for a day, as the plain method does it; a day,
// a week and a streak take about ten of these.
void BM_OneRescanForComparison(benchmark::State& state) {
    FocusLog& log = *world().log;
    const QDate today = world().clock.at.date();
    for (auto _ : state) {
        double seconds = 0;
        for (const FocusStretch& s : log.stretches())
            if (s.start.toLocalTime().date() == today) seconds += s.seconds;
        benchmark::DoNotOptimize(seconds);
    }
}

// One finished stretch: encoded, appended and the whole log written atomically (off the main
// thread; this waits for it).
void BM_FinishAndSave(benchmark::State& state) {
    World& w = world();
    FocusStretch s;
    s.activity = "Work";
    s.start = w.clock.at;
    s.sitting = w.clock.at;
    s.planned = 1500;
    for (auto _ : state) {
        s.seconds = 60;
        w.log->setCurrent(s);
        w.log->finish(false);
        w.log->flush();
    }
    state.counters["bytes"] = double(w.defaults.data("focusLog")->size());
}

// The first question after start-up also builds the index by day.
void BM_LoadAndFirstDay(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        FocusLog log(w.defaults, w.clock);
        benchmark::DoNotOptimize(log.day(w.clock.at, 5));
    }
}

// A wall clock set ten years ahead while a 25/5 pomodoro runs: the one tick that passes
// every period that ended meanwhile (about 175,000 of them).
class JumpingClock final : public Clock {
  public:
    QDateTime now() const override { return at; }
    double monotonic() const override { return 0; }
    double boottime() const override { return 0; }
    QDateTime at = QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
};

void BM_PomodoroTickAfterATenYearJump(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore defaults(dir.path() + "/config", dir.path() + "/data");
    JumpingClock clock;
    FocusLog scratch(clock, {});
    Pomodoro pomodoro(defaults, clock, scratch);
    for (auto _ : state) {
        state.PauseTiming();
        pomodoro.stop();
        clock.at = QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
        pomodoro.start();
        clock.at = clock.at.addDays(3652).addSecs(600);
        state.ResumeTiming();
        pomodoro.tick();
    }
}

} // namespace

BENCHMARK(BM_PomodoroTickAfterATenYearJump)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayWeekStreak)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FocusDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneRescanForComparison)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FinishAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndFirstDay)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
