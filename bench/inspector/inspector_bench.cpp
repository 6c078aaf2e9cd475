// The main thread's cost of one inspection arriving while the calculator runs
// a full HP-15C program in turbo: the view applies it and repaints. Inspections
// come at most every 100 ms; a frame is 16 ms. Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTest>

#include "app/app_model.h"
#include "inspector/comment_editor.h"
#include "inspector/inspector_fixtures.h"
#include "inspector/inspector_view.h"
#include "platform/memory_platform.h"

namespace tw {
namespace {

constexpr int kFullListing = 448;

struct Column {
    MemoryPlatform platform;
    AppModel app{platform};
    std::unique_ptr<InspectorView> view;

    explicit Column(const InspectorSnapshot& first) {
        app.setInspection(first);
        ProgramDocument doc;
        for (int step = 5; step <= kFullListing; step += 25) {
            StepComment c;
            c.step = step;
            c.text = "comment of step " + std::to_string(step);
            doc.comments.push_back(c);
        }
        app.setProgramDoc(doc);
        view = std::make_unique<InspectorView>(app);
        view->resize(340, 900);
        view->show();
        QCoreApplication::processEvents();
    }
};

// A running program: the step moves and X changes.
InspectorSnapshot step(InspectorSnapshot s, int i) {
    s.running = true;
    s.line = 1 + (i * 37) % kFullListing;
    s.stack[0].raw = 0x1000 + std::uint64_t(i);
    s.stack[0].text = std::to_string(i) + ".000000000";
    return s;
}

void applyOnly(benchmark::State& state) {
    const auto base = test::hp15cSnapshot(kFullListing);
    Column column(base);
    int i = 0;
    for (auto _ : state) column.app.setInspection(step(base, ++i));
}
BENCHMARK(applyOnly)->Unit(benchmark::kMicrosecond);

// What the event loop then paints: the rows that changed, and the listing
// where it scrolled.
void applyAndPaint(benchmark::State& state) {
    const auto base = test::hp15cSnapshot(kFullListing);
    Column column(base);
    int i = 0;
    for (auto _ : state) {
        column.app.setInspection(step(base, ++i));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(applyAndPaint)->Unit(benchmark::kMicrosecond);

// The step stays (a long computation on one line): only X's row repaints.
void applyAndPaintSameStep(benchmark::State& state) {
    const auto base = test::hp15cSnapshot(kFullListing);
    Column column(base);
    int i = 0;
    for (auto _ : state) {
        auto s = step(base, ++i);
        s.line = 100;
        column.app.setInspection(s);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(applyAndPaintSameStep)->Unit(benchmark::kMicrosecond);

// Every storage register and every step changes (a new program loaded);
// the whole column repainted.
void applyEverythingChanged(benchmark::State& state) {
    auto a = test::hp15cSnapshot(kFullListing);
    auto b = a;
    for (auto& r : b.registers) r.raw += 1;
    for (auto& l : b.program) l.mnemonic += " ";
    b.program.back().line += 1; // a different listing: rebuilt
    Column column(a);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        column.app.setInspection(flip ? b : a);
        column.view->repaint();
    }
}
BENCHMARK(applyEverythingChanged)->Unit(benchmark::kMicrosecond);

// A repaint of the whole column (as when a menu or a dialog opens over the window)
// while the listing shows twenty step comments of `bytes` each.
void repaintWithLongComments(benchmark::State& state) {
    const auto bytes = std::size_t(state.range(0));
    std::string words;
    for (int i = 0; words.size() < bytes; ++i) words += "balance" + std::to_string(i % 97) + " ";
    words.resize(bytes);
    auto s = test::hp15cSnapshot(kFullListing);
    s.line = 10;
    MemoryPlatform platform;
    AppModel app{platform};
    app.setInspection(s);
    ProgramDocument doc;
    for (int i = 1; i <= 20; ++i) {
        StepComment c;
        c.step = i;
        c.text = std::to_string(i) + " " + words;
        doc.comments.push_back(std::move(c));
    }
    app.setProgramDoc(std::move(doc));
    InspectorView view(app);
    view.resize(340, 900);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) view.repaint();
}
BENCHMARK(repaintWithLongComments)->ArgName("bytes")->Arg(40)->Arg(835'000)->Unit(benchmark::kMillisecond);

// The step-comment editor on a comment of `bytes` of words, beside the column.
struct EditorOnLongComment {
    MemoryPlatform platform;
    AppModel app{platform};
    std::unique_ptr<InspectorView> view;

    explicit EditorOnLongComment(std::size_t bytes) {
        std::string text;
        for (int i = 0; text.size() < bytes; ++i) text += "balance" + std::to_string(i % 97) + " ";
        text.resize(bytes);
        app.setInspection(test::hp15cSnapshot(kFullListing));
        ProgramDocument doc;
        StepComment c;
        c.step = 20;
        c.text = std::move(text);
        doc.comments.push_back(std::move(c));
        app.setProgramDoc(std::move(doc));
        view = std::make_unique<InspectorView>(app);
        view->resize(340, 900);
        view->show();
        QCoreApplication::processEvents();
    }
    // Opened as a double-click opens it, with the keyboard in its field.
    CommentEditor& open() {
        view->editComment(20);
        CommentEditor& editor = *view->editor();
        editor.activateWindow();
        (void)QTest::qWaitForWindowActive(&editor, 1000);
        QCoreApplication::processEvents();
        return editor;
    }
};

constexpr std::int64_t kLongComment = 835'000;

// Opening the editor (and cancelling it).
void commentEditorOpens(benchmark::State& state) {
    EditorOnLongComment column(std::size_t(state.range(0)));
    for (auto _ : state) {
        column.open();
        column.view->cancel();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(commentEditorOpens)->ArgName("bytes")->Arg(40)->Arg(100'000)->Arg(kLongComment)->Unit(benchmark::kMillisecond);

// The main thread's time over one second of the open editor doing nothing (the cursor blinks).
void commentEditorSitsOpen(benchmark::State& state) {
    EditorOnLongComment column(std::size_t(state.range(0)));
    column.open();
    for (auto _ : state) QTest::qWait(1000);
}
BENCHMARK(commentEditorSitsOpen)->ArgName("bytes")->Arg(40)->Arg(kLongComment)->Iterations(2)->Unit(benchmark::kMillisecond);

// End, then Home, in the field.
void commentEditorEndThenHome(benchmark::State& state) {
    EditorOnLongComment column(std::size_t(state.range(0)));
    QWidget* field = column.open().field();
    for (auto _ : state) {
        QTest::keyClick(field, Qt::Key_End);
        QCoreApplication::processEvents();
        QTest::keyClick(field, Qt::Key_Home);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(commentEditorEndThenHome)->ArgName("bytes")->Arg(40)->Arg(kLongComment)->Unit(benchmark::kMillisecond);

// A key typed into the comment.
void commentEditorKeystroke(benchmark::State& state) {
    EditorOnLongComment column(std::size_t(state.range(0)));
    QWidget* field = column.open().field();
    for (auto _ : state) {
        QTest::keyClick(field, Qt::Key_A);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(commentEditorKeystroke)->ArgName("bytes")->Arg(40)->Arg(kLongComment)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tw

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tw::test::inspectorApp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
