// The settings file with large program notes, as the user meets it: one keystroke
// in the notes (AppModel storing the changed notes, and whatever the main thread
// then does before it can take the next key), the start's opening of the settings
// up to the first value read, with settings files of 15 and 60 MB, and the write
// that follows the typing (or the quit).
#include "app/app_model.h"
#include "notes/program_document.h"
#include "platform/ini_settings_text.h"
#include "platform/qt_platform.h"
#include "platform/settings_file_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using namespace tw;
using Clock = std::chrono::steady_clock;

// Its own settings folder for each benchmark.
std::unique_ptr<QTemporaryDir> freshConfigFolder() {
    auto dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir->path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir->path() + "/data"));
    return dir;
}

// Notes of about `bytes` bytes when encoded: step comments of ordinary prose, with
// quotes, line breaks and letters beyond ASCII as users write them.
ProgramDocument largeNotes(std::size_t bytes) {
    ProgramDocument doc;
    doc.title = "Amortisation";
    doc.description = "Computes a loan's schedule.";
    const std::string sentence = "The \"balance\" after payment n; rate = i/12, résumé: 5 % → 4 %.\n";
    std::string text;
    while (text.size() < 12000) text += sentence;
    for (std::int64_t step = 1; std::size_t(step) * text.size() < bytes; ++step) {
        StepComment comment;
        comment.step = step;
        comment.text = text;
        comment.keys = "f LBL A";
        doc.comments.push_back(comment);
    }
    return doc;
}

QByteArray encodedNotes(const ProgramDocument& doc) {
    const std::vector<std::uint8_t> data = doc.encoded();
    return QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
}

// The text of a settings file as the program writes it, with `megabytes` MB of program
// notes in entries of 15 MB (the notes of one firmware each).
QByteArray settingsText(int megabytes) {
    QSettings::SettingsMap settings{{"firmwareName", "hp15c.bin"}, {"skin", "automatic"}, {"pdfPaper", "a4"}};
    if (megabytes == 0) return encodeIniSettings(settings);
    constexpr double entryBytes = 15e6;
    // Escapes make an entry longer than its notes: size the notes by a first try.
    const double growth = double(encodeIniSettings({{"n", encodedNotes(largeNotes(1'000'000))}}).size()) /
                          double(encodedNotes(largeNotes(1'000'000)).size());
    const QByteArray notes = encodedNotes(largeNotes(std::size_t(entryBytes / growth)));
    for (int i = 0; i < megabytes / 15; ++i) settings.insert(QString("programDoc.%1").arg(i, 16, 16, QChar('0')), notes);
    return encodeIniSettings(settings);
}

// Opening the settings as the start does, up to the first value read. Each run reads
// a file of its own, as a start does (Qt keeps a file it has read for a while).
void BM_StartWithSettingsFile(benchmark::State& state) {
    const QByteArray text = settingsText(int(state.range(0)));
    state.counters["file MB"] = double(text.size()) / 1e6;
    for (auto _ : state) {
        const auto folder = freshConfigFolder();
        QDir().mkpath(QFileInfo(settingsFilePath()).absolutePath());
        QFile file(settingsFilePath());
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            state.SkipWithError("cannot write the settings file");
            return;
        }
        file.close();
        const auto t0 = Clock::now();
        {
            QtPlatform platform;
            benchmark::DoNotOptimize(platform.setting("firmwareName"));
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        }
    }
}

// One letter typed into the description: the model stores the notes, then the main
// thread handles what was posted meanwhile (a settings write waiting there counts).
void BM_NotesKeystroke(benchmark::State& state) {
    const auto folder = freshConfigFolder();
    QtPlatform platform;
    AppModel model(platform);
    model.setProgramDoc(largeNotes(15'000'000));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    state.counters["notes MB"] = double(encodedNotes(model.programDoc()).size()) / 1e6;
    for (auto _ : state) {
        // The sheet's copy of the notes that it changes is counted apart.
        const auto t0 = Clock::now();
        ProgramDocument doc = model.programDoc();
        const auto t1 = Clock::now();
        doc.description += 'x';
        model.setProgramDoc(std::move(doc));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        state.counters["copy ms"] += std::chrono::duration<double>(t1 - t0).count() * 1000 / double(state.max_iterations);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t1).count());
    }
}

// The whole write after the typing stopped (on the writer's thread), as at quit: the
// notes encoded, the settings text made and written through the safe writer.
void BM_SettingsWriteWithNotes(benchmark::State& state) {
    const auto folder = freshConfigFolder();
    QtPlatform platform;
    AppModel model(platform);
    model.setProgramDoc(largeNotes(15'000'000));
    for (auto _ : state) {
        ProgramDocument doc = model.programDoc();
        doc.description += 'x';
        model.setProgramDoc(std::move(doc));
        const auto t0 = Clock::now();
        if (platform.writePendingSettings()) {
            state.SkipWithError("the settings were not written");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    }
}

BENCHMARK(BM_StartWithSettingsFile)->Arg(0)->Arg(15)->Arg(60)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsWriteWithNotes)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotesKeystroke)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Tarnwick");
    QCoreApplication::setApplicationName("Tarnwick");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
