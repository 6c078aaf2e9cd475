// Saves pictures of the inspector for people to look at, in the light and
// the dark palette: <build>/screenshots/inspector/*.png.
#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>
#include <QTest>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/app_model.h"
#include "inspector/comment_editor.h"
#include "inspector/inspector_fixtures.h"
#include "support/shows_whole.h"
#include "inspector/inspector_view.h"
#include "inspector/matrix_row.h"
#include "inspector/pinned_sections.h"
#include "inspector/register_list.h"
#include "inspector/pool_section.h"
#include "inspector/registers_panel.h"
#include "platform/memory_platform.h"

namespace tw {
namespace {

QString folder() {
    const QByteArray binary = qgetenv("TW_BINARY_DIR");
    const QString root = binary.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(binary);
    const QString path = root + "/screenshots/inspector";
    QDir().mkpath(path);
    return path;
}

struct Scheme {
    const char* name;
    QPalette palette;
};

std::vector<Scheme> schemes() {
    return {{"light", test::lightPalette()}, {"dark", test::darkPalette()}};
}

// Shows the widget at a size, in the scheme's palette on a background of its own.
void present(QWidget& w, const Scheme& scheme, QSize size) {
    w.setPalette(scheme.palette);
    w.setAutoFillBackground(true);
    w.resize(size);
    w.show();
}

void save(QWidget& w, const QString& name) {
    QCoreApplication::processEvents();
    QTest::qWait(30);
    const QPixmap shot = w.grab();
    ASSERT_FALSE(shot.isNull());
    ASSERT_TRUE(shot.save(folder() + "/" + name + ".png")) << name.toStdString();
}

class Screenshots : public test::WithApp {
protected:
    MemoryPlatform platform;
};

TEST_F(Screenshots, EachModelAndPaneInBothSchemes) {
    struct Model {
        const char* name;
        InspectorSnapshot s;
    };
    auto s15 = test::hp15cSnapshot(40);
    s15.programMode = true;
    s15.line = 17;
    auto s16 = test::hp16cSnapshot();
    s16.running = true;
    s16.line = 3;
    const std::vector<Model> models{{"hp12c", test::hp12cSnapshot()}, {"hp15c", s15}, {"hp16c", s16}};
    for (const Scheme& scheme : schemes()) {
        for (const Model& m : models) {
            for (InspectorPane pane : kInspectorPanes) {
                AppModel app(platform);
                app.setInspection(m.s);
                ProgramDocument doc;
                StepComment c;
                c.step = 2;
                c.text = "the second step of the program, with a comment too long for the column";
                doc.comments.push_back(c);
                app.setProgramDoc(doc);
                InspectorView view(app);
                view.setPane(pane);
                present(view, scheme, {340, 760});
                save(view, QString("%1_%2_%3").arg(m.name, rawValue(pane), scheme.name));
            }
        }
    }
}

TEST_F(Screenshots, ComplexModeIntegersInBinaryAndTheEmptyInspector) {
    for (const Scheme& scheme : schemes()) {
        auto s = test::hp15cSnapshot(20);
        s.flags |= 1u << 8;
        s.pool->complex = true;
        s.imaginary = {test::decimalRegister("X", "-2.500000000", 7), test::decimalRegister("Y", "1.000000000", 8)};
        s.stack[2].raw = (std::uint64_t{1} << 52) | (std::uint64_t{11} << 48);
        AppModel app(platform);
        app.setInspection(s);
        InspectorView view(app);
        view.setPane(InspectorPane::registers);
        present(view, scheme, {340, 700});
        save(view, QString("hp15c_complex_%1").arg(scheme.name));
        // X's value opened for selecting with the pointer.
        RegisterListView* stack = view.registers()->stackList();
        stack->edit(stack->model()->index(0, 0));
        save(view, QString("register_value_selected_%1").arg(scheme.name));
        stack->setFocus();
        stack->closePersistentEditor(stack->model()->index(0, 0));

        // Two registers changed since the last inspection: their rows flash.
        auto changed = s;
        changed.stack[4] = test::decimalRegister("LAST X", "7.000000000", 0x7);
        changed.registers[1] = test::decimalRegister("R1", "5.000000000", 0x5);
        app.setInspection(changed);
        save(view, QString("change_flash_%1").arg(scheme.name));

        auto b = test::hp16cSnapshot();
        b.base = 2;
        b.stack[0] = test::integerRegister("X", "1111000011110000", "61680", 61680);
        b.stack[1] = test::integerRegister("Y", "101", "5", 5);
        AppModel binaryApp(platform);
        binaryApp.setInspection(b);
        InspectorView binary(binaryApp);
        binary.setPane(InspectorPane::registers);
        present(binary, scheme, {340, 700});
        save(binary, QString("hp16c_binary_%1").arg(scheme.name));

        AppModel idle(platform);
        InspectorView empty(idle);
        present(empty, scheme, {320, 400});
        save(empty, QString("nothing_to_inspect_%1").arg(scheme.name));
    }
}

// Steps 011 to 020 with comments that hold each kind of line break, from a notes file
// or pasted: each reads on its own row, a space where the break was.
TEST_F(Screenshots, CommentsWithLineBreaks) {
    const std::vector<std::pair<const char*, const char*>> breaks{
        {"LF", "\n"},         {"CR LF", "\r\n"}, {"CR", "\r"},      {"VT", "\v"},
        {"FF", "\f"},         {"NEL", "\u0085"},  {"LS", "\u2028"},  {"PS", "\u2029"},
        {"two CR LF", "\r\n\r\n"},
        {"many LF", "\nand\nmore\nlines\nthan\nthe\nrow\nholds"},
    };
    for (const Scheme& scheme : schemes()) {
        AppModel app(platform);
        auto s = test::hp15cSnapshot(20);
        s.line = 15;
        app.setInspection(s);
        ProgramDocument doc;
        for (std::size_t i = 0; i < breaks.size(); ++i) {
            StepComment c;
            c.step = std::int64_t(i) + 11;
            c.text = std::string(breaks[i].first) + " one" + breaks[i].second + "two";
            doc.comments.push_back(c);
        }
        app.setProgramDoc(doc);
        InspectorView view(app);
        view.setPane(InspectorPane::program);
        present(view, scheme, {340, 640});
        save(view, QString("comments_with_line_breaks_%1").arg(scheme.name));
    }
}

TEST_F(Screenshots, TheNarrowestColumn) {
    for (const Scheme& scheme : schemes()) {
        for (auto s : {test::hp16cSnapshot(), test::hp15cSnapshot(30)}) {
            s.programMode = true;
            s.flags = 0x3FF;
            AppModel app(platform);
            app.setInspection(s);
            InspectorView view(app);
            present(view, scheme, {260, 640});
            save(view, QString("narrow_hp%1c_%2").arg(s.model).arg(scheme.name));
        }
    }
}

TEST_F(Screenshots, ThePoolWithMatricesUnfolded) {
    for (const Scheme& scheme : schemes()) {
        auto s = test::hp15cSnapshot(12);
        RegistersPanel panel(&platform);
        panel.setSnapshot(s);
        panel.matrixRow(0)->toggle();
        panel.matrixRow(1)->toggle();
        present(panel, scheme, {340, 900});
        save(panel, QString("pool_and_matrices_%1").arg(scheme.name));
        // Scrolled so that a pinned header stands over the rows.
        panel.resize(340, 420);
        QCoreApplication::processEvents();
        panel.sections()->verticalScrollBar()->setValue(560);
        save(panel, QString("pool_pinned_header_%1").arg(scheme.name));
    }
}

TEST_F(Screenshots, TheCommentEditor) {
    for (const Scheme& scheme : schemes()) {
        AppModel app(platform);
        auto s = test::hp15cSnapshot(12);
        app.setInspection(s);
        InspectorView view(app);
        view.setPalette(scheme.palette);
        view.resize(340, 600);
        view.show();
        view.editComment(7);
        view.editor()->setPalette(scheme.palette);
        view.editor()->field()->setText("loop back to the start");
        save(*view.editor(), QString("comment_editor_%1").arg(scheme.name));
        s.program.resize(5);
        app.setInspection(s);
        view.save();
        save(*view.editor(), QString("comment_editor_step_gone_%1").arg(scheme.name));
        view.cancel();
        // A comment of many lines' length: the field shows a few, and scrolls.
        QString text = "Amortization schedule.\n";
        for (int i = 0; text.size() < 20'000; ++i) text += QString("balance%1 ").arg(i % 97);
        view.editComment(8);
        view.editor()->field()->setText(text);
        save(*view.editor(), QString("comment_editor_long_%1").arg(scheme.name));
        view.cancel();
        // Given more room by the window manager, wider and then taller: the field takes it.
        view.editComment(9);
        view.editor()->field()->setText(
            "Four sentences of a comment that wraps. The loop pays one month each pass while the balance stays "
            "above zero. It stops at the last payment and shows the interest paid. Keep R1 clear before you "
            "start, and round each payment to cents.");
        QCoreApplication::processEvents();
        test::giveSize(*view.editor(), {700, view.editor()->height()});
        save(*view.editor(), QString("comment_editor_wide_%1").arg(scheme.name));
        test::giveSize(*view.editor(), {view.editor()->minimumWidth(), 600});
        save(*view.editor(), QString("comment_editor_tall_%1").arg(scheme.name));
        view.cancel();
    }
}

} // namespace
} // namespace tw
