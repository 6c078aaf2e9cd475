// One keystroke in the program information sheet's description, with the sheet shown
// and every step comment orphaned (as after a memory reset), including the layout it
// causes.
#include "notes/listing.h"
#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "ui/sheet/program_info_view.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>

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

void BM_SheetKeystroke(benchmark::State& state) {
    MemoryPlatform platform;
    AppModel app(platform);
    EngineSnapshot display;
    display.model = 15;
    display.variant = 150;
    app.setSnapshot(display);
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
    EngineSnapshot display;
    display.model = 15;
    display.variant = 150;
    app.setSnapshot(display);
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
    EngineSnapshot display;
    display.model = 15;
    display.variant = 150;
    app.setSnapshot(display);
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

} // namespace
