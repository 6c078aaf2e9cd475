// Start-up of the application as a user meets it: from starting the process to the
// window shown with the welcome view, and, with a remembered firmware, to the first
// frame of the LCD painted. Runs tarnwick-testfw (the application on our test
// firmware) with a settings folder of its own.
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Starts the program and answers the seconds until it reports the event; negative
// when it never does.
double secondsUntil(const QString& home, const QStringList& arguments, const QByteArray& event) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains("DISPLAY") && !environment.contains("WAYLAND_DISPLAY"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setProgram(QStringLiteral(TW_TESTFW));
    process.setArguments(QStringList{"--home=" + home, "--report", "--quit-on=" + QString::fromLatin1(event)} +
                         arguments);
    QElapsedTimer clock;
    clock.start();
    process.start();
    QByteArray output;
    double seconds = -1;
    while (clock.elapsed() < 20000) {
        process.waitForReadyRead(5);
        output += process.readAllStandardOutput();
        if (output.startsWith(event + ' ') || output.contains('\n' + event + ' ')) {
            seconds = double(clock.nsecsElapsed()) / 1e9;
            break;
        }
        if (process.state() == QProcess::NotRunning) break;
    }
    if (!process.waitForFinished(10000)) process.kill();
    process.waitForFinished();
    return seconds;
}

void run(benchmark::State& state, const QStringList& arguments, const QByteArray& event) {
    QTemporaryDir home;
    // The first start writes the settings; it is not measured.
    if (secondsUntil(home.path(), arguments, event) < 0) {
        state.SkipWithError("tarnwick-testfw did not report the event (test firmware built?)");
        return;
    }
    for (auto _ : state) {
        const double seconds = secondsUntil(home.path(), arguments, event);
        if (seconds < 0) {
            state.SkipWithError("tarnwick-testfw did not report the event");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_StartToWelcomeView(benchmark::State& state) { run(state, {"--welcome"}, "welcome"); }
void BM_StartToFirstLCDFrame(benchmark::State& state) { run(state, {"--model=15c"}, "lcd"); }

BENCHMARK(BM_StartToWelcomeView)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartToFirstLCDFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
