// How long a drop of files onto the cat holds the main thread: a hundred real files moved into
// a fresh home trash through the freedesktop backend, and put back again from the bubble. The
// moves run on the cat's file thread; the main thread waits at most 150 ms for the first file's
// verdict (so a drop of which nothing can go is refused) and afterwards only hands out answers.
// Goal: no single hold of the main thread longer than a frame and a half (25 ms), however many
// files are dropped.

#include "../tests/fakes/CatOverlayProbe.h"
#include "../tests/fakes/Fakes.h"
#include "../tests/fakes/OpaqueSprites.h"
#include "cat/CatOverlay.h"
#include "platform/xdg/FreedesktopTrash.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

struct Desk {
    QTemporaryDir home;
    FakeClock clock;
    FakeRandom random;
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle input;
    FakeDevices devices;
    FreedesktopTrash trash;
    TempSettingsStore defaults;
    std::unique_ptr<CatOverlay> cat;

    Desk() {
        installOpaqueSprites();
        if (qEnvironmentVariableIsEmpty("DROP_BENCH_LOG")) qInstallMessageHandler(quiet);
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
        QDir().mkpath(home.path() + "/drop");
        CatServices s{screens, windowList, pointer,   input, devices, trash,
                      clock,   random,     *defaults, {},    {}};
        s.makeCatPanel = [](CatOverlay&) { return std::make_unique<FakePanel>(); };
        s.frameClock = false;
        cat = std::make_unique<CatOverlay>(s);
        cat->enter(false);
    }
    // n small files with the same names on every round, so the trash fills with numbered twins.
    QList<QUrl> files(int n) {
        QList<QUrl> urls;
        for (int i = 0; i < n; ++i) {
            const QString path = home.path() + QStringLiteral("/drop/file %1.txt").arg(i);
            QFile f(path);
            if (f.open(QIODevice::WriteOnly)) f.write("a few bytes of the user's work\n");
            urls.append(QUrl::fromLocalFile(path));
        }
        return urls;
    }
    void readyToEat() { CatOverlayProbe(*cat).start(Activity::idle()); }
};

// The time column is the whole drop, from the drop to the last file in the trash; the longest
// single hold of the main thread (the drop's answer, or one bite between frames) is
// longest_hold_ms.
void BM_DropOfFiles(benchmark::State& state) {
    Desk d;
    const int n = int(state.range(0));
    int eaten = 0;
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QList<QUrl> urls = d.files(n);
        d.readyToEat();
        state.ResumeTiming();
        QElapsedTimer hold;
        hold.start();
        if (!d.cat->feed(urls)) state.SkipWithError("nothing was eaten");
        longest = std::max(longest, hold.nsecsElapsed());
        while (d.cat->stillEating()) {
            hold.restart();
            QCoreApplication::sendPostedEvents();
            longest = std::max(longest, hold.nsecsElapsed());
        }
        eaten += int(d.cat->state.eaten()->names.size());
    }
    state.counters["eaten_per_drop"] = double(eaten) / double(state.iterations());
    state.counters["longest_hold_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_DropOfFiles)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_PutBackOfFiles(benchmark::State& state) {
    Desk d;
    const int n = int(state.range(0));
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.readyToEat();
        if (!d.cat->feed(d.files(n))) state.SkipWithError("nothing was eaten");
        while (d.cat->stillEating())
            QCoreApplication::sendPostedEvents();
        const auto undo = d.cat->state.eaten()->undo;
        state.ResumeTiming();
        QElapsedTimer hold;
        hold.start();
        undo();
        longest = std::max(longest, hold.nsecsElapsed());
        while (d.cat->stillPuttingBack()) {
            hold.restart();
            QCoreApplication::sendPostedEvents();
            longest = std::max(longest, hold.nsecsElapsed());
        }
        state.PauseTiming();
        // Put-back files are removed for the next round.
        QDir(d.home.path() + "/drop").removeRecursively();
        QDir().mkpath(d.home.path() + "/drop");
        state.ResumeTiming();
    }
    state.counters["longest_hold_ms"] = double(longest) / 1e6;
}
BENCHMARK(BM_PutBackOfFiles)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the bites of a big drop are posted events
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
