// The once-a-second device poll against the Linux backends: it reads caches that notifications
// keep current, so it costs a few nanoseconds and no system call. For scale, the same run
// times the cheapest system call there is. Run it with a session bus and a sound server to
// have every backend connected (bench/devices_cpu_bench.sh does).

#include "platform/linux/LinuxDevices.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <benchmark/benchmark.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

LinuxDevices* devices = nullptr;

void BM_DevicePoll(benchmark::State& state) {
    for (auto _ : state) {
        // What the cat's poll asks: the camera, the microphone (while the camera is off), music.
        const bool call = devices->cameraInUse() || devices->microphoneInUse();
        const bool music = devices->musicPlaying();
        benchmark::DoNotOptimize(call);
        benchmark::DoNotOptimize(music);
    }
}
BENCHMARK(BM_DevicePoll);

void BM_OneSystemCall(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(::syscall(SYS_getppid));
}
BENCHMARK(BM_OneSystemCall);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    LinuxDevices linux;
    devices = &linux;
    // Let the backends connect and take their first look.
    QDeadlineTimer settle(1500);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
