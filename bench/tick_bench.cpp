// One frame step of the cat over a desktop of 50 windows, as the frame clock runs it 60 times a
// second. Goal: under 20 µs per tick; a climbing or dangling cat at most a third dearer than a
// walking one; a walk over four monitors at most 1.2 × the same walk over one.

#include "../tests/fakes/CatOverlayProbe.h"
#include "../tests/fakes/Fakes.h"
#include "../tests/fakes/OpaqueSprites.h"
#include "cat/CatOverlay.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

// Counts heap allocations, to show that a steady frame makes none.
static std::atomic<long> allocations{0};

void* operator new(std::size_t n) {
    ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#include <benchmark/benchmark.h>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// 50 overlapping windows, the back-most one wide and low so others cut its top.
std::vector<WindowInfo> desktop() {
    std::vector<WindowInfo> list;
    for (int i = 0; i < 49; ++i) {
        WindowInfo w;
        w.id = quint32(100 + i);
        // Every other one reaches down over the back window's top edge.
        w.frame = i % 2 == 0 ? Rect{38.0 * i, 200, 20, 400} : Rect{38.0 * i, 400, 300, 300};
        w.pid = 1000 + i;
        list.push_back(w);
    }
    WindowInfo back;
    back.id = 1;
    back.frame = Rect{0, 100, 1920, 150};
    list.push_back(back);
    return list;
}

// Frame dates in UTC: stepping it costs nothing, so the figures are the engine's own.
class SteppingClock final : public Clock {
  public:
    QDateTime now() const override { return t; }
    double monotonic() const override { return mono; }
    double boottime() const override { return mono; }
    void advance(double s) {
        t = t.addMSecs(qint64(s * 1000));
        mono += s;
    }
    QDateTime t = QDateTime(QDate(2026, 12, 7), QTime(9, 0), QTimeZone::utc());
    double mono = 0;
};

struct Desk {
    SteppingClock clock;
    FakeRandom random;
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle input;
    FakeDevices devices;
    FakeTrash trash;
    TempSettingsStore defaults;
    std::unique_ptr<CatOverlay> cat;

    // monitors: that many 1920 × 1080 monitors side by side, the primary left-most; the
    // second one's floor 40 points lower so a walk across the seam steps down.
    explicit Desk(int monitors = 1) {
        installOpaqueSprites();
        qInstallMessageHandler(quiet);
        windowList.set(desktop());
        for (int i = 0; monitors > 1 && i < monitors; ++i) {
            const Rect frame{1920.0 * i, 0, 1920, 1080};
            const Rect visible{1920.0 * i, i == 1 ? 0.0 : 40.0, 1920, i == 1 ? 1080.0 : 1040.0};
            screens.layout.push_back(
                Monitor{QStringLiteral("M%1").arg(i), frame, visible, 60, 1, i == 0});
        }
        CatServices s{screens, windowList, pointer,   input, devices, trash,
                      clock,   random,     *defaults, {},    {}};
        s.makeCatPanel = [](CatOverlay&) { return std::make_unique<FakePanel>(); };
        s.frameClock = false;
        cat = std::make_unique<CatOverlay>(s);
        cat->enter(false);
        CatOverlayProbe(*cat).postponeTimers();
    }
    void frame() {
        clock.advance(1.0 / 60);
        const long before = allocations;
        cat->tick();
        tickAllocations += allocations - before;
    }
    long tickAllocations = 0;
    // Keeps the cat walking between two points.
    void keepWalking(double a, double b) {
        const auto snap = cat->snapshot();
        if (!snap.activity.is(Activity::Kind::walking))
            CatOverlayProbe(*cat).start(
                Activity::walking(snap.x < (a + b) / 2 ? b : a, Arrival::rest()));
    }
};

void BM_TickIdle(benchmark::State& state) {
    Desk d;
    for (int i = 0; i < 1000; ++i)
        d.frame(); // walk in and sit
    d.tickAllocations = 0;
    for (auto _ : state)
        d.frame();
    state.counters["allocs_per_tick"] =
        double(d.tickAllocations) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_TickIdle);

void BM_TickWalkingWhileWindowsMove(benchmark::State& state) {
    Desk d;
    std::vector<WindowInfo> list = desktop();
    int n = 0;
    for (auto _ : state) {
        // A window being dragged: the list changes every frame.
        list[0].frame.x = double(n++ % 800);
        d.windowList.set(list);
        d.keepWalking(300, 1600);
        d.frame();
    }
}
BENCHMARK(BM_TickWalkingWhileWindowsMove);

void BM_TickWalkingOnTheBackWindow(benchmark::State& state) {
    Desk d;
    d.frame();
    // Every other window stands in front of this one.
    const DesktopWindow back{1, Rect{0, 100, 1920, 150}};
    CatOverlayProbe(*d.cat).standOn(back, 1880);
    int restarts = 0;
    for (auto _ : state) {
        const auto snap = d.cat->snapshot();
        if (!snap.activity.is(Activity::Kind::walking)) {
            ++restarts;
            CatOverlayProbe(*d.cat).standOn(back, 1880);
            CatOverlayProbe(*d.cat).start(Activity::walking(1870, Arrival::rest()));
        }
        d.frame();
    }
    // 24 front windows cut the top into pieces; the cat walks on the last one, [1844, 1920].
    state.counters["pieces"] = double(d.cat->visibleTop(back).size());
    state.counters["restarts"] = restarts;
}
BENCHMARK(BM_TickWalkingOnTheBackWindow);

// The baseline for the climbing and dangling cats: walking the floor under a still desktop;
// with the argument 4, the same walk on a desktop of four monitors.
void BM_TickWalkingOnTheFloor(benchmark::State& state) {
    Desk d(int(state.range(0)));
    d.frame();
    d.tickAllocations = 0;
    for (auto _ : state) {
        d.keepWalking(300, 1600);
        d.frame();
    }
    state.counters["allocs_per_tick"] =
        double(d.tickAllocations) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_TickWalkingOnTheFloor)->Arg(1)->Arg(4);

// Lying in the bed over a long stretch of frames: the scheduler's clips, phone spells and the
// still pauses between them, with varied random draws.
void BM_TickInBedPlayingClips(benchmark::State& state) {
    Desk d;
    d.frame();
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        d.random.fractions.push_back(double(seed >> 8) / double(1u << 24));
    }
    CatOverlayProbe(*d.cat).putInBed();
    d.tickAllocations = 0;
    for (auto _ : state)
        d.frame();
    state.counters["lying"] = d.cat->snapshot().lying;
    state.counters["allocs_per_tick"] =
        double(d.tickAllocations) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_TickInBedPlayingClips);

// Climbing the face of a window in the middle of the stack, started again at the bottom
// whenever it has pulled itself over the top.
void BM_TickClimbing(benchmark::State& state) {
    Desk d;
    d.frame();
    const DesktopWindow face{101, Rect{38, 400, 300, 300}};
    int climbs = 0;
    d.tickAllocations = 0;
    for (auto _ : state) {
        if (!d.cat->snapshot().activity.is(Activity::Kind::climbingUp)) {
            ++climbs;
            CatOverlayProbe(*d.cat).putOnFloor(200);
            CatOverlayProbe(*d.cat).arrive(Arrival::climb(face));
        }
        d.frame();
    }
    state.counters["climbs"] = climbs;
    state.counters["allocs_per_tick"] =
        double(d.tickAllocations) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_TickClimbing);

// Held and swung around by a pointer circling once a second; the physics and the hanging
// run every frame.
void BM_TickDangling(benchmark::State& state) {
    Desk d;
    d.frame();
    d.cat->pickUp(QPointF(900, 600));
    // The circle is worked out beforehand so only the engine's time is measured.
    std::array<QPointF, 60> circle;
    for (std::size_t i = 0; i < circle.size(); ++i) {
        const double phase = 2 * 3.141592653589793 * double(i) / double(circle.size());
        circle[i] = QPointF(900 + 150 * std::cos(phase), 600 + 80 * std::sin(phase));
    }
    std::size_t n = 0;
    d.tickAllocations = 0;
    for (auto _ : state) {
        d.pointer.at = circle[n++ % circle.size()];
        d.cat->onCarry(d.pointer.at);
        d.frame();
    }
    state.counters["held"] = d.cat->snapshot().activity.is(Activity::Kind::held);
    state.counters["allocs_per_tick"] =
        double(d.tickAllocations) / double(std::max<int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_TickDangling);

// The same idle cat on the system clock, whose local dates cost a zone lookup per read.
void BM_TickIdleSystemClock(benchmark::State& state) {
    Desk d;
    CatServices s{d.screens,       d.windowList, d.pointer,   d.input, d.devices, d.trash,
                  Clock::system(), d.random,     *d.defaults, {},      {}};
    s.makeCatPanel = [](CatOverlay&) { return std::make_unique<FakePanel>(); };
    s.frameClock = false;
    CatOverlay cat(s);
    cat.enter(false);
    CatOverlayProbe(cat).postponeTimers();
    for (auto _ : state)
        cat.tick();
}
BENCHMARK(BM_TickIdleSystemClock);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
