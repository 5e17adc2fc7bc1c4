// The window list's cost on a real X server: a read when nothing changed (no round trip) and a
// refresh after a window moved, for 5 and 50 windows (two round trips however many windows).
// Needs an X server with a window manager; run it under the e2e desktop:
//   bash tests/e2e/with_desktop.sh build/purrlox build/bench/x11_windowlist_bench
#include "platform/Clock.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11WindowList.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

X11Desktop* desktop = nullptr;

// Top-level windows of another client, managed by the window manager like any application's.
class OtherClient {
  public:
    OtherClient() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(c_); }

    void open(int count) {
        for (int i = 0; i < count; ++i) {
            const xcb_window_t w = xcb_generate_id(c_);
            const uint32_t background = 0x336699;
            xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, int16_t(20 + 15 * i),
                              int16_t(20 + 10 * i), 300, 200, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                              XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &background);
            xcb_map_window(c_, w);
            windows_.push_back(w);
        }
        xcb_aux_sync();
    }
    void closeAll() {
        for (xcb_window_t w : windows_)
            xcb_destroy_window(c_, w);
        windows_.clear();
        xcb_aux_sync();
    }
    void nudge(int step) {
        const uint32_t xy[] = {uint32_t(20 + step % 200), uint32_t(40 + step % 100)};
        xcb_configure_window(c_, windows_.front(), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, xy);
        xcb_flush(c_);
    }

  private:
    void xcb_aux_sync() { free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    std::vector<xcb_window_t> windows_;
};

// Lets Qt deliver the X events that have arrived; true once the list was invalidated.
bool waitForChange(quint64 generation, int timeoutMs = 2000) {
    QElapsedTimer t;
    t.start();
    while (desktop->windowList().generation() == generation) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

size_t settleWith(OtherClient& other, int count) {
    other.open(count);
    // Wait until the window manager lists them all and has stopped rearranging them.
    QElapsedTimer t;
    t.start();
    size_t listed = 0;
    while (t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        listed = desktop->windowList().current().size();
        if (listed >= size_t(count) && !waitForChange(desktop->windowList().generation(), 200))
            break;
    }
    return listed;
}

void BM_ReadUnchanged(benchmark::State& state) {
    OtherClient other;
    const size_t listed = settleWith(other, int(state.range(0)));
    auto& list = desktop->windowList();
    list.windows();
    const RoundTrips before = list.roundTrips();
    for (auto _ : state)
        benchmark::DoNotOptimize(list.windows());
    state.counters["windows"] = double(listed);
    state.counters["round_trips_per_read"] = benchmark::Counter(
        double(list.roundTrips().trips - before.trips), benchmark::Counter::kAvgIterations);
    other.closeAll();
}

void BM_RefreshAfterMove(benchmark::State& state) {
    OtherClient other;
    const size_t listed = settleWith(other, int(state.range(0)));
    auto& list = desktop->windowList();
    list.windows();
    const RoundTrips before = list.roundTrips();
    const quint64 refreshesBefore = list.refreshes();
    int step = 0, missed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const quint64 generation = list.generation();
        other.nudge(++step);
        if (!waitForChange(generation)) ++missed;
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.windows());
    }
    const double refreshes = double(list.refreshes() - refreshesBefore);
    state.counters["windows"] = double(listed);
    state.counters["refreshes"] = refreshes;
    state.counters["round_trips_per_refresh"] =
        refreshes > 0 ? double(list.roundTrips().trips - before.trips) / refreshes : 0;
    state.counters["replies_per_refresh"] =
        refreshes > 0 ? double(list.roundTrips().replies - before.replies) / refreshes : 0;
    state.counters["moves_not_seen"] = missed;
    other.closeAll();
}

BENCHMARK(BM_ReadUnchanged)->Arg(5)->Arg(50);
BENCHMARK(BM_RefreshAfterMove)->Arg(5)->Arg(50)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY")) {
        std::printf("x11_windowlist_bench: DISPLAY is not set; skipped (it needs an X server with "
                    "a window manager, e.g. bash tests/e2e/with_desktop.sh build/purrlox %s)\n",
                    argv[0]);
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    X11Desktop x11(Clock::system());
    desktop = &x11;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
