// Loading the cat's frames the way the app does: the first access to the images decodes all
// 1015 bundled frames at once. Prints the time and the resident memory that loading adds.
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

// One iteration: only the first access loads, and that is the cost the app pays.
void firstAccessToImages(benchmark::State& state) {
    for (auto _ : state) {
        const double before = residentMegabytes();
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(SpriteImages::image(CatSprite::walk1));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double added = residentMegabytes() - before;
        state.counters["resident_MB"] = added;
        std::printf("frames: loaded %d frames in %.3f s, resident memory +%.1f MB\n",
                    CatSprite::count, took.count(), added);
    }
}
BENCHMARK(firstAccessToImages)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every later frame change reads what is already decoded.
void imageLookup(benchmark::State& state) {
    SpriteImages::image(CatSprite::walk1);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SpriteImages::image(CatSprite::allCases()[size_t(i)]));
        i = (i + 1) % CatSprite::count;
    }
}
BENCHMARK(imageLookup);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
