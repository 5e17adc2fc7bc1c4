// The statistics screen over ten years of focus (20,000 stretches): opening it and each live
// update while a pomodoro counts, against the one-frame budget of 16 ms; the story card and
// the one-week PDF against 300 ms each, and the PDF's size against 200 KB.
#include "focus/FocusLog.h"
#include "platform/Clock.h"
#include "stats/StatsPDF.h"
#include "stats/StatsScreen.h"
#include "stats/StoryCard.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class FixedClock final : public Clock {
  public:
    QDateTime now() const override { return at; }
    double monotonic() const override { return 0; }
    double boottime() const override { return 0; }
    QDateTime at = QDateTime(QDate(2026, 12, 10), QTime(18, 0), Qt::LocalTime);
};

std::optional<double> workArea() {
    return 1050;
}

constexpr int stretchCount = 20000;

// About five and a half stretches a day for ten years ending now, in sittings of one to four,
// over seven activities; deterministic.
QList<FocusStretch> tenYears(const QDateTime& end) {
    quint32 seed = 12345;
    const auto next = [&seed](quint32 n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const QStringList activities{"Work", "Reading", "Code", "Mail", "Piano", "Study", "Writing"};
    QList<FocusStretch> out;
    QDate day = end.date().addDays(-3650);
    while (out.size() < stretchCount) {
        QDateTime t(day, QTime(8, 0), Qt::LocalTime);
        const int today = int(next(11));
        for (int i = 0; i < today && out.size() < stretchCount; ++i) {
            FocusStretch s{activities[int(next(quint32(activities.size())))], t, t, 1500, 0, false};
            s.completed = next(5) != 0;
            s.seconds = s.completed ? 1500 : 60 + next(1400);
            out.push_back(s);
            t = t.addSecs(1800);
        }
        day = day.addDays(1);
    }
    return out;
}

struct World {
    FixedClock clock;
    FocusLog log{clock, tenYears(clock.at)};
    World() {
        log.setCurrent(FocusStretch{"Work", clock.at, clock.at, 1500, 0, false});
        log.day(clock.at, 5); // the day index is built once at start-up, not per open
    }
};

World& world() {
    static World w;
    return w;
}

void paint(QWidget& widget, QImage& into) {
    into.fill(Qt::transparent);
    widget.render(&into);
}

void BM_OpenStatsScreen(benchmark::State& state) {
    World& w = world();
    QImage frame(310, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        StatsScreen screen(w.log, w.clock, workArea, {});
        screen.resize(310, 900);
        paint(screen, frame);
    }
}

void BM_LiveUpdate(benchmark::State& state) {
    World& w = world();
    StatsScreen screen(w.log, w.clock, workArea, {});
    screen.resize(310, 900);
    QImage frame(310, 900, QImage::Format_ARGB32_Premultiplied);
    paint(screen, frame);
    for (auto _ : state) {
        w.log.count(1); // a second of the running pomodoro: the screen recomputes
        paint(screen, frame);
    }
}

void BM_StoryCard(benchmark::State& state) {
    World& w = world();
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = StoryCard::png(w.log, w.clock.at).size();
    state.counters["png_KB"] = double(bytes) / 1024;
}

void BM_WeekPdf(benchmark::State& state) {
    World& w = world();
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = StatsPDF::data(w.log, w.clock.at).size();
    state.counters["pdf_KB"] = double(bytes) / 1024;
}

} // namespace

BENCHMARK(BM_OpenStatsScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoryCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeekPdf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
