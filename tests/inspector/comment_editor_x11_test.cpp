// The comment editor under a real window manager (openbox, which the test script starts
// on its X server), driven with xdotool as a user drives it: sizes asked for in one
// request or in quick succession, maximised and closed from the keyboard or the frame, and
// long comments typed and then opened. The window manager answers a size with one of its
// own, later: none of this is seen on the offscreen platform. And on an X server without a
// window manager, where nothing but the editor keeps it at its least size.
#include <gtest/gtest.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QMargins>
#include <QtMath>
#include <QResizeEvent>
#include <QScreen>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <xcb/xcb.h>

#include "inspector/comment_editor.h"
#include "inspector/comment_editor_checks.h"
#include "inspector/comment_field.h"
#include "inspector/inspector_fixtures.h"
#include "inspector/size_requests.h"
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

// A reply of the X server's, freed when it goes.
template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply) {
    return {reply, &std::free};
}

// The application's own connection to the X server, which asks it what the screen shows.
xcb_connection_t* server() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// `window`'s size on the X server, in device pixels.
QSize sizeOnServer(xcb_window_t window) {
    const auto geometry = owned(xcb_get_geometry_reply(server(), xcb_get_geometry(server(), window), nullptr));
    return geometry ? QSize(geometry->width, geometry->height) : QSize(-1, -1);
}

// The frame the window manager drew around `window` now, in device pixels, whatever Qt
// last took in of it: Qt may still have no frame for a window it showed again.
QMargins frameOnServer(xcb_window_t window) {
    xcb_connection_t* x = server();
    static constexpr std::string_view kExtents = "_NET_FRAME_EXTENTS";
    const auto name =
        owned(xcb_intern_atom_reply(x, xcb_intern_atom(x, true, kExtents.size(), kExtents.data()), nullptr));
    if (!name) return {};
    const auto extents = owned(xcb_get_property_reply(
        x, xcb_get_property(x, false, window, name->atom, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!extents || extents->format != 32 || xcb_get_property_value_length(extents.get()) != 16) return {};
    // Left, right, top and bottom.
    const auto* sides = static_cast<const std::uint32_t*>(xcb_get_property_value(extents.get()));
    return {int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3])};
}

// The middle of the title bar the window manager drew over `window`, in device pixels, where
// the X server has the window and its frame now.
QPoint titleBarOnServer(xcb_window_t window) {
    xcb_connection_t* x = server();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const auto place =
        owned(xcb_translate_coordinates_reply(x, xcb_translate_coordinates(x, window, root, 0, 0), nullptr));
    const QSize size = sizeOnServer(window);
    if (!place || !size.isValid()) return {};
    return {place->dst_x + size.width() / 2, place->dst_y - frameOnServer(window).top() / 2};
}

// The window the window manager framed `window` in, or 0.
xcb_window_t frameWindowOnServer(xcb_window_t window) {
    const auto tree = owned(xcb_query_tree_reply(server(), xcb_query_tree(server(), window), nullptr));
    return tree ? tree->parent : 0;
}

// Whether a window manager runs on the X server: one names its window on the root window.
bool windowManagerRuns() {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
    xprop.waitForFinished(test::kHangLimitMs);
    return xprop.readAllStandardOutput().contains("window id");
}

// The editor on a real X server, and what a user does to it there.
class EditorOnXServer : public test::WithApp {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server (the test script runs this under xvfb-run, with openbox and "
                            "without a window manager)";
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            << "xdotool is missing (scripts/setup.sh installs it)";
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
            << "xprop is missing (scripts/setup.sh installs x11-utils)";
        // As the inspector does: Cancel, Escape and the frame's close button close the
        // editor, and so does a comment saved.
        QObject::connect(&editor, &CommentEditor::cancelRequested, &editor, &QWidget::hide);
        QObject::connect(&editor, &CommentEditor::saveRequested, &editor, [this] {
            ++saves;
            editor.hide();
        });
    }

    // Shows the editor on `text` and waits until it has its size.
    void show(const QString& text) {
        editor.setDraft(text);
        editor.present(QStringLiteral("Comment for step 020"));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor, test::kHangLimitMs));
        settle();
    }

    // Waits until the editor's size has stayed for a while: the window manager has answered.
    void settle() {
        int seen = resizes.count;
        for (int quiet = 0; quiet < kQuietMs;) {
            ASSERT_FALSE(deadline.passed()) << "the editor's size never settles";
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

    // What the user sees is the editor as Qt laid it out: the window on the screen has
    // the editor's size, in device pixels that a scale such as 1.5 rounds to whole pixels.
    void expectShownAsLaidOut() {
        const QSize shown = sizeOnServer(editor.winId());
        const qreal scale = editor.devicePixelRatio();
        EXPECT_LE(std::abs(shown.width() - editor.width() * scale), scale / 2) << "shown " << shown.width();
        EXPECT_LE(std::abs(shown.height() - editor.height() * scale), scale / 2) << "shown " << shown.height();
    }


    CommentEditor editor;
    Resizes resizes{editor};
    int saves = 0;
    // For every wait of one step of the test, which each step renews.
    test::Deadline deadline;
};

// Under a window manager (openbox, which the test script starts on its X server): it frames
// the editor, gives it the focus, and answers each size with one of its own, later.
class EditorOnX : public EditorOnXServer {
protected:
    void SetUp() override {
        EditorOnXServer::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(windowManagerRuns()) << "no window manager runs on the X server (the test script starts openbox)";
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
            << "the window manager does not have the editor as its active window";
        settle();
    }

    void key(const QString& keys) {
        ASSERT_TRUE(test::xdotool({QStringLiteral("key"), keys}));
        settle();
    }

    void click(QPoint at, int times = 1) { clickOnScreen(at * editor.devicePixelRatio(), times); }

    // Clicks at `at`, in device pixels.
    void clickOnScreen(QPoint at, int times = 1) {
        ASSERT_TRUE(test::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                   QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(times),
                                   QStringLiteral("--delay"), QStringLiteral("50"), QStringLiteral("1")}));
        settle();
    }

    void clickOn(const QWidget& part) { click(part.mapToGlobal(part.rect().center())); }

    // A double click on the frame's title bar maximises the editor, or restores it. One that
    // a busy machine let come apart reached the window manager as two clicks, and is given
    // again.
    void toggleMaximised() {
        const bool was = editor.isMaximized();
        QPoint at;
        for (int tries = 0; tries < 3 && editor.isMaximized() == was; ++tries) {
            at = titleBarOnServer(editor.winId());
            clickOnScreen(at, 2);
        }
        if (editor.isMaximized() != was) return;
        QString pointer;
        test::xdotool({QStringLiteral("getmouselocation")}, &pointer);
        const QRect frame = editor.frameGeometry();
        FAIL() << "a double click on the title bar did not " << (was ? "restore" : "maximise") << " the editor: "
               << "clicked at " << at.x() << ", " << at.y() << " (" << pointer.trimmed().toStdString()
               << "), the editor's X window is " << editor.winId() << " in " << frameWindowOnServer(editor.winId())
               << ", Qt has its frame at " << frame.x() << ", " << frame.y() << " (" << frame.width() << " x "
               << frame.height() << "), the mouse grabbed by "
               << (QWidget::mouseGrabber() ? "a widget" : "no widget") << ", "
               << (QApplication::activePopupWidget() ? "a popup" : "no popup") << " open";
    }

    // `size`, held to the room the screen gives the editor with its frame.
    QSize onScreen(QSize size) const {
        const QSize frame = editor.frameGeometry().size() - editor.size();
        return size.boundedTo(editor.screen()->availableGeometry().size() - frame);
    }
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
        deadline = test::Deadline();
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
        deadline = test::Deadline();
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
        deadline = test::Deadline();
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

// Asks the window manager for `size`, in device pixels, and waits, taking in no event, until
// the window on the screen is `answer` high, as the window manager answers that size.
bool askNow(xcb_window_t window, QSize size, int answer, const test::Deadline& deadline) {
    test::xdotoolNow({QStringLiteral("windowsize"), QString::number(window), QString::number(size.width()),
                      QString::number(size.height())});
    while (sizeOnServer(window).height() != answer) {
        if (deadline.passed()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A second size asked for and answered while the editor takes in the first, as for a busy
// application, at one of two moments: as Qt reads the window manager's answer to the first
// (Qt then has the window at the second before it tells the editor of the first, and
// tells it of no other), or as the editor is told of the first.
class SecondSizeMidway : public QObject, public QAbstractNativeEventFilter {
public:
    enum class Moment { read, told };

    SecondSizeMidway(CommentEditor& editor, QSize second, int answer, Moment moment, const test::Deadline& deadline)
        : window_(editor.winId()), second_(second), answer_(answer), moment_(moment),
          deadline_(deadline) {
        if (moment == Moment::read) QCoreApplication::instance()->installNativeEventFilter(this);
        editor.installEventFilter(this); // sees events before the editor's own filter, installed earlier
    }
    ~SecondSizeMidway() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & ~0x80) == XCB_CONFIGURE_NOTIFY &&
            reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window == window_)
            askSecond();
        return false;
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize && event->spontaneous() && moment_ == Moment::told) askSecond();
        return false;
    }

    // Whether the second size came while Qt or the editor took in the first.
    bool midway = false;
    // Whether the window manager never gave it.
    bool unanswered = false;

private:
    void askSecond() {
        // Once: a second size that never comes is not asked for again at each answer after.
        if (asked_) return;
        asked_ = true;
        midway = askNow(window_, second_, answer_, deadline_);
        unanswered = !midway;
        // Time for Qt's reader to take the answer in, behind the first.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    const xcb_window_t window_;
    const QSize second_;
    const int answer_;
    const Moment moment_;
    const test::Deadline& deadline_;
    bool asked_ = false;
};

// Two sizes asked for in quick succession, the second on its way while the editor takes
// in the first: the editor ends where the second asked for alone ends, and asks for no size
// of its own, also where a size is lower than its least height. The sizes fit the screen,
// where the window manager gives them as asked.
TEST_F(EditorOnX, ABurstOfTwoRequestsEndsWhereTheSecondAloneEnds) {
    using Moment = SecondSizeMidway::Moment;
    open(test::commentOfWords(2000));
    const QSize own = editor.size();
    const QSize room = onScreen({QWIDGETSIZE_MAX, QWIDGETSIZE_MAX}) - own;
    ASSERT_GT(room.height(), 40) << "the screen leaves no room to make the editor higher";
    struct Burst {
        std::string name;
        Moment moment;
        QSize start, first, second;
    };
    std::vector<Burst> bursts = {
        {"read together", Moment::read, own, own + QSize(100, room.height() * 3 / 4),
         {1, own.height() + room.height() / 2}},
        {"the first below the least", Moment::told, {own.width() + 300, 1}, {1, 1}, own + QSize(100, room.height() / 2)},
    };
    // And some of any sizes on the screen, a third of them starting below the least height;
    // the first differs from the start in width, so that the editor is told of it.
    std::mt19937 random(50);
    const auto any = [&](int most) { return 1 + int(random() % std::uint32_t(most)); };
    for (int i = 0; i < 3; ++i) {
        const QSize start(any(own.width() + room.width()), i == 0 ? 1 : any(own.height() + room.height()));
        const int startWidth = std::max(start.width(), own.width());
        const int firstWidth = startWidth + 80 <= own.width() + room.width() ? startWidth + 80 : startWidth - 80;
        bursts.push_back({"any sizes " + std::to_string(i), i % 2 ? Moment::read : Moment::told, start,
                          {firstWidth, any(own.height() + room.height())},
                          {any(own.width() + room.width()), any(own.height() + room.height())}});
    }
    for (Burst& burst : bursts) {
        for (QSize* size : {&burst.start, &burst.first, &burst.second}) *size = onScreen(*size);
        SCOPED_TRACE(testing::Message() << burst.name << ": " << burst.start.width() << " x " << burst.start.height()
                                        << ", then " << burst.first.width() << " x " << burst.first.height()
                                        << " and " << burst.second.width() << " x " << burst.second.height());
        deadline = test::Deadline();
        const QSize second(device(burst.second.width()), device(burst.second.height()));
        ask(burst.start);
        ask(burst.second);
        const QSize alone = editor.size();
        const int aloneShown = sizeOnServer(editor.winId()).height();
        // Qt reads the window manager's answers at once or apart as its threads meet them;
        // until the second has come midway, the burst is tried again.
        bool midwayOnce = false;
        for (int round = 0; round < 3 && !midwayOnce; ++round) {
            ask(burst.start);
            const int asked = test::sizeRequests(editor.winId());
            SecondSizeMidway midway(editor, second, aloneShown, burst.moment, deadline);
            ask(burst.first);
            ASSERT_FALSE(midway.unanswered) << "the window manager never gave the second size";
            midwayOnce = midway.midway;
            if (!midwayOnce) continue;
            EXPECT_EQ(editor.size(), alone);
            EXPECT_EQ(test::sizeRequests(editor.winId()), asked) << "the editor asked for a size of its own";
            expectShownAsLaidOut();
            test::expectEditorWhole(editor, "after the burst");
        }
        EXPECT_TRUE(midwayOnce) << "the second size never came while the editor took in the first";
    }
}

// Back at its least size after any size, the editor shows its comment as when it opened,
// whatever height its lines take: at 1.5 times the window manager gives sizes in steps of
// two device pixels, and a least height between two steps came back a pixel short.
TEST_F(EditorOnX, BackAtItsLeastSizeItShowsItsCommentAsWhenOpened) {
    // Lines a pixel higher each time, so that the least height falls on each side of a step.
    for (int pixels = 13; pixels <= 16; ++pixels) {
        SCOPED_TRACE(testing::Message() << "lines of a " << pixels << "-pixel font");
        deadline = test::Deadline();
        QFont font = editor.field()->font();
        font.setPixelSize(pixels);
        editor.field()->setFont(font);
        open(QString());
        const QString text = test::commentOfLines(editor, 3);
        key(QStringLiteral("Escape"));
        open(text);
        test::expectEditorWhole(editor, "opened");
        const QSize opened = editor.size();
        const int fieldHeight = editor.field()->height();
        for (const auto& [large, small] :
             std::vector<std::pair<QSize, QSize>>{{{757, 588}, {55, 104}}, {{1000, 300}, {1, 1}}}) {
            SCOPED_TRACE(testing::Message() << "asked for " << large.width() << " x " << large.height() << ", then "
                                            << small.width() << " x " << small.height());
            ask(onScreen(large));
            ask(small);
            EXPECT_EQ(editor.size(), opened);
            EXPECT_EQ(editor.field()->height(), fieldHeight);
            test::expectEditorWhole(editor, "back at its least size");
            expectShownAsLaidOut();
        }
        key(QStringLiteral("Escape"));
    }
}

// Growing with the text typed near the bottom of the screen, the editor moves up as it
// grows and stays whole on the screen, Save, Remove and Cancel with it.
TEST_F(EditorOnX, GrowingWhileTypedNearTheScreensBottomItStaysOnTheScreen) {
    open(QString());
    ask({editor.width(), 1});
    const QSize own = editor.size();
    const QRect available = editor.screen()->availableGeometry();
    // Its frame 10 pixels above the bottom; xdotool moves the window inside the frame.
    const QMarginsF frame = QMarginsF(frameOnServer(editor.winId())) / editor.devicePixelRatio();
    const QPoint to(editor.x(), qFloor(available.bottom() - 10 - frame.bottom() - editor.height()));
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

// On an X server without a window manager, which its own ctest entry starts: nothing keeps
// the editor at its least size there but the editor itself.
class EditorWithoutWindowManager : public EditorOnXServer {
protected:
    void SetUp() override {
        EditorOnXServer::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (windowManagerRuns())
            GTEST_SKIP() << "needs an X server without a window manager (its ctest entry starts one)";
    }
};

// Asked for less than its content takes, the editor raises itself to its least size, on the
// screen too, and shows whole there. Near the bottom of the screen, given a notice higher
// than the room above it, it moves up to the top of the screen and no further (a window
// manager keeps a frame there by itself).
TEST_F(EditorWithoutWindowManager, ItKeepsItselfWholeAndOnTheScreen) {
    show(test::commentOfWords(40));
    for (const QSize& size : std::vector<QSize>{{1, 1}, {600, 1}}) {
        SCOPED_TRACE(testing::Message() << "asked for " << size.width() << " x " << size.height());
        ask(size);
        EXPECT_EQ(editor.size(), editor.minimumSize().expandedTo({size.width(), 0}));
        test::expectEditorWhole(editor, "given less");
        expectShownAsLaidOut();
    }
    const QRect available = editor.screen()->availableGeometry();
    ASSERT_TRUE(test::xdotool({QStringLiteral("windowmove"), QString::number(editor.winId()),
                               QString::number(device(available.left() + 20)),
                               QString::number(device(available.bottom() - 10 - editor.height()))}));
    settle();
    const int roomAbove = editor.geometry().top() - available.top();
    ASSERT_GE(editor.geometry().bottom(), available.bottom() - 20) << "the editor is not near the bottom";
    const QFontMetrics metrics(editor.font());
    QString notice;
    for (int words = 50; metrics.boundingRect({0, 0, editor.width(), QWIDGETSIZE_MAX}, Qt::TextWordWrap, notice)
                             .height() <= roomAbove + 40;
         words *= 2)
        notice = test::commentOfWords(words);
    const int before = editor.height();
    editor.setNotice(notice);
    settle();
    EXPECT_GT(editor.height() - before, roomAbove);
    EXPECT_EQ(editor.geometry().top(), available.top());
    expectShownAsLaidOut();
}

} // namespace
} // namespace tw
