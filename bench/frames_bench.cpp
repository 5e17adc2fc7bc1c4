// Loading the cat's frames the way the app does: the first access checks all 1015 bundled frames
// and decodes the one asked for; each later frame is decoded when first asked for. Prints the
// time and the resident memory that the first access adds.
#include "kit/SpriteImages.h"

#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

namespace {

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6 : 0;
}

// One iteration: only the first access opens the frames, and that is the cost the app pays.
void firstAccessToImages(benchmark::State& state) {
    for (auto _ : state) {
        const double before = residentMegabytes();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(SpriteImages::image(CatSprite::walk1));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double added = residentMegabytes() - before;
        state.counters["resident_MB"] = added;
        std::printf("frames: checked %d frames and decoded one in %.3f s, resident memory "
                    "+%.1f MB\n",
                    CatSprite::count, took.count(), added);
    }
}
BENCHMARK(firstAccessToImages)->Iterations(1)->Unit(benchmark::kMillisecond);

// A frame change to a frame that is held reads what is already decoded.
void imageLookup(benchmark::State& state) {
    for (CatSprite sprite : CatSprite::allCases())
        SpriteImages::image(sprite);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SpriteImages::image(CatSprite::allCases()[size_t(i)]));
        i = (i + 1) % CatSprite::count;
    }
}
BENCHMARK(imageLookup);

// A frame change to a frame that a sweep dropped: what a walk pays on its first frames after a
// long sit.
void decodeAfterSweep(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SpriteImages::sweep();
        SpriteImages::sweep();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SpriteImages::image(CatSprite::allCases()[size_t(i)]));
        i = (i + 1) % CatSprite::count;
    }
}
BENCHMARK(decodeAfterSweep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
