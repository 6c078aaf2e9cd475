// The comment editor at any size it is given: its title, message, field and buttons all
// show whole, none over another, while the text changes and when it is opened again.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <functional>

#include <vector>

#include "inspector/comment_editor.h"
#include "inspector/comment_editor_checks.h"
#include "inspector/comment_field.h"
#include "inspector/inspector_fixtures.h"
#include "support/shows_whole.h"

namespace tw {
namespace {

// The heights a window takes, in order.
class HeightsTaken : public QObject {
public:
    explicit HeightsTaken(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) taken.push_back(static_cast<QResizeEvent*>(event)->size().height());
        return false;
    }
    std::vector<int> taken;
};

class CommentEditorTest : public test::WithApp {
protected:
    // Words added to an empty field until it takes `lines` lines at the editor's own width.
    QString textOfLines(int lines) {
        CommentEditor editor;
        editor.setDraft(QString());
        editor.present(kTitle);
        return test::commentOfLines(editor, lines);
    }

    static inline const QString kTitle = QStringLiteral("Comment for step 020");
};

TEST_F(CommentEditorTest, EveryPartShowsWholeAtEverySizeWhileTypingAndWhenOpenedAgain) {
    const std::vector<QString> texts = {textOfLines(1), textOfLines(7), textOfLines(12)};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Size {
        const char* name;
        std::function<void(CommentEditor&)> give;
    };
    const std::vector<Size> sizes = {
        {"its own size", [](CommentEditor&) {}},
        {"its least size", [](CommentEditor& e) { test::giveSize(e, {1, 1}); }},
        {"700 wide", [](CommentEditor& e) { test::giveSize(e, {700, e.height()}); }},
        {"600 tall", [](CommentEditor& e) { test::giveSize(e, {e.width(), 600}); }},
        {"the screen's size", [&](CommentEditor& e) { test::giveSize(e, screen.size()); }},
        {"maximised", [](CommentEditor& e) {
             e.setWindowState(Qt::WindowMaximized);
             QCoreApplication::processEvents();
         }},
    };
    for (const Size& size : sizes) {
        for (std::size_t t = 0; t < texts.size(); ++t) {
            SCOPED_TRACE(testing::Message() << size.name << ", text " << t);
            CommentEditor editor;
            editor.setDraft(texts[t]);
            editor.present(kTitle);
            test::expectEditorWhole(editor, "opened");
            size.give(editor);
            test::expectEditorWhole(editor, "given its size");
            const QSize given = editor.size();
            QTest::keyClicks(editor.field(), " and a few more words typed at its end, to take lines");
            test::expectEditorWhole(editor, "typed");
            // The size it was given is kept while the text fits it.
            if (given.height() >= editor.minimumHeight()) {
                EXPECT_EQ(editor.size(), given);
            }
            EXPECT_EQ(editor.width(), given.width());
            // Closed and opened on another step, whose comment is longer or shorter.
            editor.hide();
            editor.setDraft(texts[(t + 1) % texts.size()]);
            editor.present("Comment for step 015");
            test::expectEditorWhole(editor, "opened again");
            EXPECT_EQ(editor.width(), given.width());
            editor.field()->selectAll();
            QTest::keyClick(editor.field(), Qt::Key_Delete);
            test::expectEditorWhole(editor, "cleared");
            // Content that comes while it is shown: the notice that the step is gone.
            editor.setNotice("Step 020 is no longer in the program, so the comment was not saved. Copy the text or "
                             "cancel.");
            test::expectEditorWhole(editor, "with a notice");
        }
    }
}

// Left at its own size, the editor grows with the lines typed and shrinks back as they go;
// given more room, it keeps it and the field takes it, and it grows only past it.
TEST_F(CommentEditorTest, ItFitsItsLinesUnlessGivenMoreRoomWhichTheFieldTakes) {
    CommentEditor editor;
    editor.setDraft(textOfLines(1));
    editor.present(kTitle);
    QCoreApplication::processEvents();
    const int oneLine = editor.height();
    editor.setDraft(textOfLines(7));
    QCoreApplication::processEvents();
    const int sevenLines = editor.height();
    EXPECT_GT(sevenLines, oneLine);
    QTest::keyClicks(editor.field(), QString(" x").repeated(200));
    EXPECT_GT(test::linesOf(*editor.field()), CommentField::kMostLinesShown);
    const int most = editor.height();
    EXPECT_GT(most, sevenLines);
    editor.setDraft(textOfLines(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), oneLine);

    // Made taller: the field takes the room; twelve lines fit there without a bar.
    test::giveSize(editor, {editor.width(), most + 300});
    EXPECT_EQ(editor.height(), most + 300);
    const int fieldRoom = editor.field()->height();
    EXPECT_GT(fieldRoom, 300);
    editor.setDraft(textOfLines(12));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), most + 300);
    EXPECT_EQ(editor.field()->height(), fieldRoom);
    EXPECT_EQ(editor.field()->verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(editor.field()->verticalScrollBar()->isVisibleTo(editor.field()));
    // A text longer than the room scrolls there.
    editor.setDraft(QString("line\n").repeated(100));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), most + 300);
    EXPECT_GT(editor.field()->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(editor.field()->verticalScrollBar()->isVisibleTo(editor.field()));
    editor.setDraft(textOfLines(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), most + 300);

    // Given less than its content needs, it stays as high as that, and follows its
    // content again; so it does given exactly what its content needs, which is where the
    // window manager holds a window the user makes as low as it goes.
    test::giveSize(editor, {editor.width(), 1});
    EXPECT_EQ(editor.height(), oneLine);
    editor.setDraft(textOfLines(7));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), sevenLines);
    test::giveSize(editor, {editor.width(), sevenLines + 50});
    test::giveSize(editor, {editor.width(), sevenLines});
    editor.setDraft(textOfLines(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), oneLine);
    editor.setDraft(textOfLines(7));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.height(), sevenLines);

    // Made wider, or wider and as low as it goes, it keeps the height of its lines at its
    // own width, which they, now fewer, no longer fill: its least size is the same at every
    // width, which is the one the window manager keeps while the user drags. There, it
    // follows its lines again.
    const int ownWidth = editor.width();
    HeightsTaken heights(editor);
    test::giveSize(editor, {700, sevenLines});
    EXPECT_EQ(editor.size(), QSize(700, sevenLines));
    EXPECT_EQ(heights.taken, std::vector<int>{sevenLines}); // not lowered and raised again
    EXPECT_LT(test::linesOf(*editor.field()), 7);
    test::giveSize(editor, {700, 1});
    EXPECT_EQ(editor.size(), QSize(700, sevenLines));
    EXPECT_EQ(editor.minimumSize(), QSize(ownWidth, sevenLines));
    editor.setDraft(textOfLines(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.size(), QSize(700, oneLine));
    test::giveSize(editor, {ownWidth, sevenLines});
    EXPECT_EQ(editor.size(), QSize(ownWidth, sevenLines));
}

// Made taller and then lower again a pixel at a time, with no key typed, through the
// heights where the lines of a long comment just fit: at each, the field shows its scroll
// bar exactly when it can scroll, and shows all its lines when it cannot.
TEST_F(CommentEditorTest, ResizedWithoutTypingTheFieldScrollsExactlyWhenItsLinesDoNotFit) {
    CommentEditor editor;
    editor.setDraft(textOfLines(12));
    editor.present(kTitle);
    QCoreApplication::processEvents();
    const CommentField& field = *editor.field();
    const QScrollBar& bar = *field.verticalScrollBar();
    const int least = editor.height();
    ASSERT_GT(bar.maximum(), 0);
    const auto check = [&](int height) {
        test::giveSize(editor, {editor.width(), height});
        SCOPED_TRACE(testing::Message() << "given " << height << ", has " << editor.height());
        EXPECT_EQ(bar.isVisibleTo(&field), bar.maximum() > 0);
        if (bar.maximum() == 0) {
            EXPECT_EQ(field.cursorForPosition({0, 0}).position(), 0);
        }
    };
    // Up until the lines fit with room to spare, and down again to the least.
    int height = least;
    for (int spare = 0; spare < 20; ++height) {
        check(height);
        if (bar.maximum() == 0) ++spare;
    }
    for (; height >= least; --height) check(height);
    EXPECT_GT(bar.maximum(), 0);
}

} // namespace
} // namespace tw
