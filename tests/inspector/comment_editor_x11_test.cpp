// The comment editor under a real window manager (openbox, which the test script starts
// on its X server), driven with xdotool as a user drives it: sizes asked for in one
// request, maximised and closed from the keyboard or the frame, and long comments typed
// and then opened. The window manager answers a size with one of its own, later: none
// of this is seen on the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include <xcb/xcb.h>

#include "inspector/comment_editor.h"
#include "inspector/comment_editor_checks.h"
#include "inspector/comment_field.h"
#include "inspector/inspector_fixtures.h"
#include "support/hang_limit.h"
#include "support/shows_whole.h"
#include "support/xdotool.h"

namespace tw {
namespace {

// The window manager has answered once the editor's size has stayed for this long.
constexpr int kQuietMs = 400;
constexpr int kStepMs = 50;

// Counts the sizes a window is given.
class Resizes : public QObject {
public:
    explicit Resizes(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) ++count;
        return false;
    }
    int count = 0;
};

// A window's size on the X server, in device pixels, from what `xdotool getwindowgeometry
// --shell` printed.
QSize shownSize(const QString& printed) {
    const auto shown = [&](const QString& name) {
        for (const QString& line : printed.split(u'\n'))
            if (line.startsWith(name + u'=')) return line.mid(name.size() + 1).toInt();
        return -1;
    };
    return {shown(QStringLiteral("WIDTH")), shown(QStringLiteral("HEIGHT"))};
}

QStringList geometryQuery(const QString& window) {
    return {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window};
}

class EditorOnX : public test::WithApp {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server with a window manager (the test script runs this under xvfb-run "
                            "with openbox)";
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            << "xdotool is missing (scripts/setup.sh installs it)";
        // As the inspector does: Cancel, Escape and the frame's close button close the
        // editor, and so does a comment saved.
        QObject::connect(&editor, &CommentEditor::cancelRequested, &editor, &QWidget::hide);
        QObject::connect(&editor, &CommentEditor::saveRequested, &editor, [this] {
            ++saves;
            editor.hide();
        });
    }

    // Opens the editor on `text` and waits until it has the focus and its size.
    void open(const QString& text) {
        editor.setDraft(text);
        editor.present(QStringLiteral("Comment for step 020"));
        // Opened from the inspector, the editor comes over the window the user works in,
        // and has the focus; here it is alone, and the window manager does not always give
        // a window shown again the focus by itself.
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor, test::kHangLimitMs));
        QString active;
        ASSERT_TRUE(test::xdotool({QStringLiteral("getactivewindow")}, &active) &&
                    active.trimmed() == QString::number(editor.winId()))
            << "no window manager has the editor as its active window (the test script starts openbox)";
        settle();
    }

    // Waits until the window manager has given the editor the size it answers with.
    void settle() {
        int seen = resizes.count;
        for (int quiet = 0, waited = 0; quiet < kQuietMs; waited += kStepMs) {
            ASSERT_LT(waited, test::kHangLimitMs) << "the editor's size never settles";
            QTest::qWait(kStepMs);
            quiet = resizes.count == seen ? quiet + kStepMs : 0;
            seen = resizes.count;
        }
    }

    // Device pixels, which xdotool speaks in, for a length in the window's pixels.
    int device(qreal length) const { return qRound(length * editor.devicePixelRatio()); }

    void ask(QSize size) {
        ASSERT_TRUE(test::xdotool({QStringLiteral("windowsize"), QString::number(editor.winId()),
                                   QString::number(device(size.width())), QString::number(device(size.height()))}));
        settle();
    }

    void key(const QString& keys) {
        ASSERT_TRUE(test::xdotool({QStringLiteral("key"), keys}));
        settle();
    }

    void click(QPoint at, int times = 1) {
        const QPoint onScreen = at * editor.devicePixelRatio();
        ASSERT_TRUE(test::xdotool({QStringLiteral("mousemove"), QString::number(onScreen.x()),
                                   QString::number(onScreen.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                                   QString::number(times), QStringLiteral("--delay"), QStringLiteral("100"),
                                   QStringLiteral("1")}));
        settle();
    }

    void clickOn(const QWidget& part) { click(part.mapToGlobal(part.rect().center())); }

    // A double click on the frame's title bar maximises the editor, or restores it.
    void toggleMaximised() {
        const bool was = editor.isMaximized();
        const QRect frame = editor.frameGeometry();
        click({frame.center().x(), (frame.top() + editor.geometry().top()) / 2}, 2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor.isMaximized() != was; }, test::kHangLimitMs))
            << "a double click on the title bar did not " << (was ? "restore" : "maximise") << " the editor";
        settle();
    }

    // What the user sees is the editor as Qt laid it out: the window on the screen has
    // the editor's size, to a device pixel that a scale such as 1.5 rounds either way.
    void expectShownAsLaidOut() {
        QString printed;
        ASSERT_TRUE(test::xdotool(geometryQuery(QString::number(editor.winId())), &printed));
        const QSize shown = shownSize(printed);
        const qreal scale = editor.devicePixelRatio();
        EXPECT_LE(std::abs(shown.width() - editor.width() * scale), 1.0) << printed.toStdString();
        EXPECT_LE(std::abs(shown.height() - editor.height() * scale), 1.0) << printed.toStdString();
    }

    CommentEditor editor;
    Resizes resizes{editor};
    int saves = 0;
};

// Narrowed at its least height, in one request, to a width where the text takes more
// lines than the field shows: the window manager first gives the least height of the
// width it was leaving, and the editor grows from there. Every part lies where the size
// it ends at puts them, and stays there when it is opened again.
TEST_F(EditorOnX, EachSizeAskedForInOneRequestLaysThePartsOutAtTheSizeItEndsAt) {
    open(QString());
    const QString text = test::commentOfLines(editor, 12);
    settle();
    const std::vector<std::vector<QSize>> rounds = {
        {{620, 1}, {620, 1}, {420, 1}}, {{620, 380}, {400, 1}}, {{1, 1}, {560, 1}, {380, 1}}, {{600, 200}}};
    int saved = 0;
    for (const std::vector<QSize>& sizes : rounds) {
        for (const QSize& size : sizes) {
            SCOPED_TRACE(testing::Message() << "asked for " << size.width() << " x " << size.height());
            ask(size);
            test::expectEditorWhole(editor, "given its size");
            expectShownAsLaidOut();
        }
        // Saved with Return, then opened again and saved with a click where Save shows.
        key(QStringLiteral("Return"));
        EXPECT_EQ(saves, ++saved);
        for (int again = 0; again < 2; ++again) {
            SCOPED_TRACE(testing::Message() << "opened again after " << sizes.back().width() << " x "
                                            << sizes.back().height());
            open(text);
            test::expectEditorWhole(editor, "opened again");
            expectShownAsLaidOut();
            if (again == 0) {
                clickOn(*editor.saveButton());
                EXPECT_EQ(saves, ++saved);
            }
        }
    }
}

// However the maximised editor is closed, it opens again maximised, and comes back from
// there to the size it had before.
TEST_F(EditorOnX, AMaximisedEditorComesBackToItsSizeBeforeHoweverItWasClosed) {
    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const std::vector<Way> ways = {
        {"Escape", [this] { key(QStringLiteral("Escape")); }},
        // Alt+F4 asks the window to close, as the frame's close button does.
        {"Alt+F4", [this] { key(QStringLiteral("alt+F4")); }},
        {"Cancel", [this] { clickOn(*editor.cancelButton()); }},
        {"Return", [this] { key(QStringLiteral("Return")); }},
    };
    const QString text = test::commentOfWords(20);
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        open(text);
        ask({editor.width(), 300});
        const QSize before = editor.size();
        ASSERT_EQ(before.height(), 300);
        toggleMaximised();
        way.close();
        ASSERT_FALSE(editor.isVisible());
        open(text);
        EXPECT_TRUE(editor.isMaximized());
        test::expectEditorWhole(editor, "opened again maximised");
        toggleMaximised();
        EXPECT_EQ(editor.size(), before);
        key(QStringLiteral("Escape"));
        open(text);
        EXPECT_FALSE(editor.isMaximized());
        EXPECT_EQ(editor.size(), before);
        key(QStringLiteral("Escape"));
    }
}

// A comment longer than the field, typed at the editor's own width, then opened: the
// field shows the same lines, with the line of the text cursor whole at its bottom. Made
// wider or narrower, the editor keeps that line in view.
TEST_F(EditorOnX, ALongCommentOpensAsItLookedWhenTypedWithTheCursorsLineInView) {
    const auto cursorInView = [this] {
        const CommentField& field = *editor.field();
        return field.viewport()->rect().contains(field.cursorRect());
    };
    for (int words = 100; words <= 136; words += 3) {
        SCOPED_TRACE(testing::Message() << words << " words");
        open(QString());
        const QString text = test::commentOfWords(words);
        ASSERT_TRUE(test::xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("1"), text}));
        settle();
        ASSERT_EQ(editor.draft(), text);
        ASSERT_GT(test::linesOf(*editor.field()), CommentField::kMostLinesShown);
        EXPECT_TRUE(cursorInView());
        const int typedAt = editor.field()->verticalScrollBar()->value();
        const QRect typedCursor = editor.field()->cursorRect();
        key(QStringLiteral("Escape"));
        open(text);
        EXPECT_EQ(editor.field()->verticalScrollBar()->value(), typedAt);
        EXPECT_EQ(editor.field()->cursorRect(), typedCursor);
        EXPECT_TRUE(cursorInView());
        key(QStringLiteral("Escape"));
    }
    const QSize own = editor.size();
    open(test::commentOfWords(136));
    for (const QSize& size : std::vector<QSize>{{620, 1}, {own.width(), 1}, {420, 300}, {own.width(), 1}}) {
        SCOPED_TRACE(testing::Message() << "asked for " << size.width() << " x " << size.height());
        ask(size);
        EXPECT_TRUE(cursorInView());
    }
}

// Asks the window manager for `size` and waits, taking in no event, until it has answered.
// The height is one the window manager gives at any scale: an even number of device pixels.
bool askNow(const QString& window, QSize size) {
    test::xdotoolNow(
        {QStringLiteral("windowsize"), window, QString::number(size.width()), QString::number(size.height())});
    const auto start = std::chrono::steady_clock::now();
    while (shownSize(test::xdotoolNow(geometryQuery(window))).height() != size.height())
        if (std::chrono::steady_clock::now() - start > test::kHangLimit) return false;
    return true;
}

// A second size asked for and answered while the editor takes in the first, as for a busy
// application, at one of two moments: as Qt reads the window manager's answer to the first
// (Qt then has the window at the second before it tells the editor of the first, and
// tells it of no other), or as the editor is told of the first.
class SecondSizeMidway : public QObject, public QAbstractNativeEventFilter {
public:
    enum class Moment { read, told };

    SecondSizeMidway(CommentEditor& editor, QSize second, Moment moment)
        : editor_(editor), window_(QString::number(editor.winId())), second_(second), moment_(moment) {
        if (moment == Moment::read) QCoreApplication::instance()->installNativeEventFilter(this);
        editor.installEventFilter(this); // sees events before the editor's own filter, installed earlier
    }
    ~SecondSizeMidway() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & ~0x80) == XCB_CONFIGURE_NOTIFY &&
            QString::number(reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window) == window_)
            askSecond();
        return false;
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize && event->spontaneous() && moment_ == Moment::told) askSecond();
        // The editor's own sizes: each one it asks for.
        if (event->type() == QEvent::Resize && !event->spontaneous() && editor_.isVisible()) ++asked;
        return false;
    }

    // Whether the second size came while Qt or the editor took in the first.
    bool midway = false;
    int asked = 0;

private:
    void askSecond() {
        if (midway) return;
        midway = askNow(window_, second_);
        // Time for Qt's reader to take the answer in, behind the first.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    CommentEditor& editor_;
    const QString window_;
    const QSize second_;
    const Moment moment_;
};

// Two sizes asked for in quick succession, the second on its way while the editor takes
// in the first: the editor ends at the size the window manager gave last and asks for none
// of its own, also where the first was less than its least at its new width (the window
// manager knew the least at the width before) and the editor has to grow.
TEST_F(EditorOnX, ABurstOfTwoRequestsEndsAtTheSecond) {
    open(test::commentOfWords(2000));
    const QSize own = editor.size();
    struct Burst {
        const char* name;
        SecondSizeMidway::Moment moment;
        QSize start, first, second;
    };
    const std::vector<Burst> bursts = {
        {"read together", SecondSizeMidway::Moment::read, own, own + QSize(100, 450), {1, own.height() + 290}},
        {"the first below the least", SecondSizeMidway::Moment::told, {own.width() + 300, 1}, {1, 1},
         own + QSize(100, 100)},
    };
    for (const Burst& burst : bursts) {
        SCOPED_TRACE(burst.name);
        // Its height in even device pixels: at 1.5 times, Qt has the window manager size in steps
        // of two.
        const QSize second(device(burst.second.width()), device(burst.second.height()) & ~1);
        // Qt reads the window manager's answers at once or apart as its threads meet them;
        // until the second has come midway, the burst is tried again.
        bool midwayOnce = false;
        for (int round = 0; round < 5 && !midwayOnce; ++round) {
            ask(burst.start);
            SecondSizeMidway midway(editor, second, burst.moment);
            ask(burst.first);
            midwayOnce = midway.midway;
            if (!midwayOnce) continue;
            EXPECT_NEAR(device(editor.height()), second.height(), 1);
            EXPECT_NEAR(device(editor.width()), std::max(second.width(), device(editor.minimumWidth())), 1);
            EXPECT_EQ(midway.asked, 0) << "the editor asked for a size of its own";
            expectShownAsLaidOut();
            test::expectEditorWhole(editor, "after the burst");
        }
        EXPECT_TRUE(midwayOnce) << "the second size never came while the editor took in the first";
    }
}

// Growing with the text typed near the bottom of the screen, the editor moves up as it
// grows and stays whole on the screen, Save, Remove and Cancel with it.
TEST_F(EditorOnX, GrowingWhileTypedNearTheScreensBottomItStaysOnTheScreen) {
    open(QString());
    ask({editor.width(), 1});
    const QSize own = editor.size();
    const QRect available = editor.screen()->availableGeometry();
    const QRect frame = editor.frameGeometry();
    // Its frame 10 pixels above the bottom; xdotool moves the window inside the frame.
    const QPoint to(frame.left(), available.bottom() - 10 - frame.height() + (editor.geometry().top() - frame.top()));
    ASSERT_TRUE(test::xdotool({QStringLiteral("windowmove"), QString::number(editor.winId()),
                               QString::number(device(to.x())), QString::number(device(to.y()))}));
    settle();
    ASSERT_GE(editor.frameGeometry().bottom(), available.bottom() - 20) << "the editor is not near the bottom";
    ASSERT_TRUE(test::xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("1"), test::commentOfWords(100)}));
    settle();
    EXPECT_GT(editor.height(), own.height() + 40);
    EXPECT_TRUE(available.contains(editor.frameGeometry()))
        << "frame " << editor.frameGeometry().top() << " to " << editor.frameGeometry().bottom() << " on a screen of "
        << available.top() << " to " << available.bottom();
    test::expectEditorWhole(editor, "grown");
    expectShownAsLaidOut();
}

} // namespace
} // namespace tw
