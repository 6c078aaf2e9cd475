// One keystroke in the program information sheet's description, with the sheet shown
// and every step comment orphaned (as after a memory reset), including the layout it
// causes; opening the sheet on a long description, and a key typed at its end; a
// keystroke with very long notes while the inspector shows them.
#include "notes/listing.h"
#include "app/app_model.h"
#include "inspector/inspector_view.h"
#include "platform/memory_platform.h"
#include "ui/sheet/program_info_view.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <map>

#include <benchmark/benchmark.h>

namespace {

using namespace tw;

ProgramDocument orphanedNotes(int count) {
    ProgramDocument doc;
    doc.title = "Loan schedule";
    for (int step = 1; step <= count; ++step) {
        StepComment c;
        c.step = step;
        c.keys = "45 " + std::to_string(step % 20);
        c.text = "step " + std::to_string(step) + ": keeps the running balance of the loan in R" +
                 std::to_string(step % 20);
        c.orphaned = true;
        doc.comments.push_back(std::move(c));
    }
    return doc;
}

// The model shows a running HP-15C, as the sheet's header reads it.
void showHp15c(AppModel& app) {
    EngineSnapshot display;
    display.model = 15;
    display.variant = 150;
    app.setSnapshot(display);
}

void BM_SheetKeystroke(benchmark::State& state) {
    MemoryPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    app.setProgramDoc(orphanedNotes(int(state.range(0))));
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    QPlainTextEdit* description = sheet.descriptionField();
    description->setFocus();
    for (auto _ : state) {
        QTest::keyClick(description, Qt::Key_A);
        QCoreApplication::processEvents(); // the layout the keystroke asked for
        // What the event loop would delete after the keystroke, as a running sheet's does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["orphans"] = double(sheet.orphanRows().size());
}
BENCHMARK(BM_SheetKeystroke)->Arg(20)->Arg(300)->Arg(1231)->Unit(benchmark::kMillisecond);

// All comments orphaned at once while the sheet is shown (a memory reset), then
// removed with "Remove Comments That No Longer Match".
void BM_SheetOrphansComeAndGo(benchmark::State& state) {
    MemoryPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    const ProgramDocument orphaned = orphanedNotes(int(state.range(0)));
    for (auto _ : state) {
        app.setProgramDoc(orphaned);
        QCoreApplication::processEvents();
        app.removeOrphanedComments();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_SheetOrphansComeAndGo)->Arg(1231)->Unit(benchmark::kMillisecond);

// The program changes under the open sheet, so that its label, register and flag rows
// are built again: every label, register and flag an HP-15C program can name.
void BM_SheetNoteRowsRebuilt(benchmark::State& state) {
    std::vector<std::string> steps;
    for (const char* label : {"A", "B", "C", "D", "E", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
        steps.push_back(std::string("LBL ") + label);
    for (int r = 0; r < 10; ++r) {
        steps.push_back("STO " + std::to_string(r));
        steps.push_back("STO ." + std::to_string(r));
        steps.push_back("SF " + std::to_string(r));
    }
    std::vector<std::string> longer = steps;
    longer.push_back("GSB A"); // changes the usage of label A, so every row is made again
    MemoryPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    app.setDocLines(testing::listing(steps));
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        app.setDocLines(testing::listing(flip ? longer : steps));
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["rows"] = double(sheet.rows().size());
}
BENCHMARK(BM_SheetNoteRowsRebuilt)->Unit(benchmark::kMillisecond);

// The notes are kept in the settings as the real platform keeps them: encoded when
// the settings are written, not at every change as the memory platform does.
class LazySettingsPlatform final : public Platform {
public:
    QVariant setting(const QString& key) const override { return memory_.setting(key); }
    void setSetting(const QString& key, const QVariant& value) override { memory_.setSetting(key, value); }
    void removeSetting(const QString& key) override { memory_.removeSetting(key); }
    void setSettingLazily(const QString& key, std::function<QVariant()> produce) override {
        lazy_[key] = std::move(produce);
    }
    std::optional<WriteFailure> writePendingSettings() override { return memory_.writePendingSettings(); }
    QString appDataFolder() const override { return memory_.appDataFolder(); }
    QString homeFolder() const override { return memory_.homeFolder(); }
    QString documentsFolder() const override { return memory_.documentsFolder(); }
    MainThreadExecutor mainExecutor() override { return memory_.mainExecutor(); }
    void log(const QString& line) override { memory_.log(line); }
    bool revealFile(const QString& path) override { return memory_.revealFile(path); }

private:
    MemoryPlatform memory_;
    std::map<QString, std::function<QVariant()>> lazy_;
};

// About `length` characters of words, or one unbroken run of them; no line break.
std::string longText(std::size_t length, bool unbroken) {
    static const char* const words[] = {"amortization ", "of ", "the ", "loan ", "balance ", "after ", "payment "};
    std::string text;
    text.reserve(length + 16);
    for (std::size_t i = 0; text.size() < length; ++i) text += words[i % std::size(words)];
    text.resize(length);
    if (unbroken)
        for (char& c : text)
            if (c == ' ') c = 'x';
    return text;
}

// Opening the sheet on a 1,000,000-character description and typing a key into it;
// 1 is one unbroken run (no space or line break), 0 words of the same length.
void BM_SheetOpensOnLongDescription(benchmark::State& state) {
    MemoryPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    ProgramDocument doc;
    doc.title = "Loan schedule";
    doc.description = longText(1'000'000, state.range(0) != 0);
    app.setProgramDoc(doc);
    for (auto _ : state) {
        ProgramInfoView sheet(app);
        sheet.show();
        QCoreApplication::processEvents();
        sheet.descriptionField()->setFocus();
        QTest::keyClick(sheet.descriptionField(), Qt::Key_A);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["chars"] = double(app.programDoc().description.size());
}
BENCHMARK(BM_SheetOpensOnLongDescription)->ArgName("unbroken")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A key typed at the end of a description of `bytes` of words in one paragraph, the
// same text as the step-comment editor's benchmark (bench_inspector) types into.
void BM_SheetDescriptionKeystroke(benchmark::State& state) {
    MemoryPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    std::string text;
    for (int i = 0; text.size() < std::size_t(state.range(0)); ++i) text += "balance" + std::to_string(i % 97) + " ";
    text.resize(std::size_t(state.range(0)));
    ProgramDocument doc;
    doc.description = std::move(text);
    app.setProgramDoc(doc);
    ProgramInfoView sheet(app);
    sheet.show();
    QCoreApplication::processEvents();
    QPlainTextEdit* description = sheet.descriptionField();
    description->setFocus();
    description->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        QTest::keyClick(description, Qt::Key_A);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SheetDescriptionKeystroke)->ArgName("bytes")->Arg(835'000)->Unit(benchmark::kMillisecond);

// A keystroke in the sheet's description while the inspector lists the program and its
// twenty step comments of `bytes` each (20 × 812,000 is 15.5 MiB of notes); with
// `orphaned`, the comments match no step and the sheet lists them.
void BM_SheetKeystrokeBesideInspector(benchmark::State& state) {
    const auto bytes = std::size_t(state.range(0));
    const bool orphaned = state.range(1) != 0;
    LazySettingsPlatform platform;
    AppModel app(platform);
    showHp15c(app);
    InspectorSnapshot inspection;
    inspection.model = 15;
    inspection.variant = 150;
    inspection.hasProgram = true;
    std::vector<std::string> steps;
    for (int i = 0; i < 100; ++i) steps.push_back(i % 2 ? "RCL " + std::to_string(i % 10) : "STO + 2");
    inspection.program = testing::listing(steps);
    inspection.lines = int(steps.size());
    inspection.line = 10;
    app.setInspection(inspection);
    ProgramDocument doc;
    doc.title = "Loan schedule";
    for (int step = 1; step <= 20; ++step) {
        StepComment c;
        c.step = step;
        c.keys = inspection.program[std::size_t(step - 1)].keys;
        c.text = std::to_string(step) + " " + longText(bytes, false);
        c.orphaned = orphaned;
        doc.comments.push_back(std::move(c));
    }
    app.setProgramDoc(std::move(doc));
    InspectorView inspector(app);
    inspector.resize(340, 900);
    inspector.show();
    ProgramInfoView sheet(app);
    sheet.show();
    // Shown and painted, the listing scrolled to its current step, before the first key.
    QTest::qWait(50);
    QCoreApplication::processEvents();
    QPlainTextEdit* description = sheet.descriptionField();
    description->setFocus();
    for (auto _ : state) {
        QTest::keyClick(description, Qt::Key_A);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::size_t notes = 0;
    for (const StepComment& c : app.programDoc().comments) notes += c.text.size();
    state.counters["MiB"] = double(notes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SheetKeystrokeBesideInspector)
    ->ArgNames({"bytes", "orphaned"})
    ->Args({40, 0})
    ->Args({812'000, 0})
    ->Args({812'000, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
