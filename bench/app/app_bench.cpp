// What the user waits for in AppModel: from creating it with a remembered firmware
// to the first display the engine publishes, and from a key press to the display
// that follows it (the engine runs in real time, as in the application).
#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "support/test_firmware.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using namespace tw;
using Clock = std::chrono::steady_clock;

// Runs the event loop until the model publishes a snapshot; false after five seconds.
bool waitForSnapshot(AppModel& model) {
    QEventLoop loop;
    bool arrived = false;
    QObject::connect(&model, &AppModel::snapshotChanged, &loop, [&] {
        arrived = true;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return arrived;
}

void rememberFirmware(MemoryPlatform& platform, test::Firmware which) {
    const QString path = QDir(platform.root()).filePath("firmware.bin");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const auto& bytes = test::firmwareBytes(which);
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
    platform.setSetting("firmwareBookmark", Platform::fileReference(path));
    platform.setSetting("firmwareName", "firmware.bin");
}

void BM_StartToFirstDisplay(benchmark::State& state, test::Firmware which) {
    if (!test::firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    test::useTestFingerprints();
    MemoryPlatform platform;
    rememberFirmware(platform, which);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        AppModel model(platform);
        if (!model.startRememberedFirmware() || !waitForSnapshot(model)) {
            state.SkipWithError("no display");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    }
}

void BM_KeyToDisplay(benchmark::State& state) {
    if (!test::firmwareBuilt()) {
        state.SkipWithError("test firmware not built");
        return;
    }
    test::useTestFingerprints();
    MemoryPlatform platform;
    AppModel model(platform);
    model.start("hp15c.bin", test::firmwareBytes(test::Firmware::Hp15c), std::nullopt);
    if (!waitForSnapshot(model)) {
        state.SkipWithError("no display");
        return;
    }
    const auto tap = [&](int code) {
        model.press(code);
        model.release(code);
    };
    const int digits[] = {26, 27, 28, 16, 17, 18, 6, 7, 8}; // 1 to 9
    int i = 0;
    for (auto _ : state) {
        // Each timed digit starts a new number after ENTER, so the display always changes.
        const auto t0 = Clock::now();
        tap(digits[i++ % 9]);
        if (!waitForSnapshot(model)) {
            state.SkipWithError("the display did not change");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        tap(25);
        waitForSnapshot(model);
    }
}

BENCHMARK_CAPTURE(BM_StartToFirstDisplay, hp15c, test::Firmware::Hp15c)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartToFirstDisplay, multi, test::Firmware::Multi)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyToDisplay)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
