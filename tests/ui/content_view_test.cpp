#include "inspector/inspector_view.h"
#include "ui/face/calculator_view.h"
#include "ui/face/calculator_face.h"
#include "ui/face/key_view.h"
#include "ui/face/lcd_view.h"
#include "ui/main/pending_opens.h"
#include "ui/main/tarnwick_app.h"
#include "ui/window/aspect_ratio_box.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/content_view.h"
#include "ui/window/main_window.h"
#include "ui/window/menu_button.h"
#include "ui/window/screen_fit.h"
#include "support/shows_whole.h"
#include "window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

TEST(MainWindow, SizeAndMinimum) {
    WindowFixture f;
    f.window->show();
    EXPECT_EQ(f.window->content()->size(), QSize(900, 560));
    EXPECT_EQ(f.window->content()->minimumSize(), QSize(480, 300));
    f.window->resize(200, 100);
    EXPECT_GE(f.window->content()->width(), 480);
    EXPECT_GE(f.window->content()->height(), 300);
}

// The application's window opens inside the screen's free area, also when desktop
// scaling makes the screen smaller than the window's first size (the offscreen
// screen, 800 x 600, is a 1600 x 1200 screen at twice the size).
TEST(MainWindow, OpensWithinTheScreensFreeArea) {
    MemoryPlatform platform;
    TarnwickApp app(platform, nullptr, {});
    app.show();
    QApplication::processEvents();
    const QRect screen = app.window().screen()->availableGeometry();
    EXPECT_LE(app.window().frameGeometry().width(), screen.width());
    EXPECT_LE(app.window().frameGeometry().height(), screen.height());
    EXPECT_GE(app.window().content()->width(), MainWindow::minimumContentSize.width());
}

TEST(ScreenFit, AWindowIsNoLargerThanTheFreeAreaLessItsFrameAndNeverBelowItsMinimum) {
    const QRect available(0, 0, 911, 480);
    const QMargins frame(2, 30, 2, 2);
    EXPECT_EQ(fittedOnScreen(QRect(0, 0, 900, 590), QSize(480, 320), available, frame).size(), QSize(900, 448));
    EXPECT_EQ(fittedOnScreen(QRect(0, 0, 900, 590), QSize(480, 460), available, frame).size(), QSize(900, 460));
    EXPECT_EQ(fittedOnScreen(QRect(0, 0, 600, 400), QSize(), available, frame).size(), QSize(600, 400));
    // Moved in from beyond the right and bottom edges.
    EXPECT_EQ(fittedOnScreen(QRect(700, 300, 600, 400), QSize(), available, frame), QRect(309, 78, 600, 400));
}

// The application's font at a scale of the default one.
struct AtFontScale : ::testing::TestWithParam<double> {
    const QFont font = QApplication::font();
    void SetUp() override {
        QFont scaled = font;
        scaled.setPointSizeF(font.pointSizeF() * GetParam());
        QApplication::setFont(scaled);
    }
    void TearDown() override { QApplication::setFont(font); }
};
INSTANTIATE_TEST_SUITE_P(ContentView, AtFontScale, ::testing::Values(1.0, 1.4, 1.8));

// At the window's least size the welcome's paragraphs wrap inside it, and everything it
// shows is whole: the window is never lower than they take there, which is more at a larger
// font. Starting, it shows the spinner and its line whole too.
TEST_P(AtFontScale, TheWelcomeFitsTheWindowAtItsLeastSize) {
    WindowFixture f;
    f.window->show();
    f.window->resize(1, 1);
    const QWidget* welcome = f.window->content()->welcome();
    ASSERT_EQ(f.window->content()->current(), welcome);
    EXPECT_EQ(f.window->content()->width(), MainWindow::minimumContentSize.width());
    EXPECT_GE(f.window->content()->height(), MainWindow::minimumContentSize.height());
    expectShowsWhole(*welcome);
    f.app->setIsStarting(true);
    expectShowsWhole(*welcome);
    f.app->setIsStarting(false);
    f.window->resize(1200, 800);
    expectShowsWhole(*welcome);
    // Wider than the paragraphs go, they stand in the middle, as the name and the button do.
    for (const QLabel* label : welcome->findChildren<QLabel*>()) {
        if (!label->isVisible()) continue;
        const QRect r = label->geometry();
        EXPECT_NEAR(r.left(), welcome->width() - 1 - r.right(), 1) << label->text().toStdString();
        EXPECT_LE(r.width(), 460) << label->text().toStdString();
    }
}

TEST(ContentView, FirstLaunchShowsTheWelcomeViewAndStartsNothing) {
    WindowFixture f;
    QSignalSpy road(f.window->content(), &ContentView::startRoadRan);
    f.window->show();
    // Not while being shown: after the window is on screen.
    EXPECT_EQ(road.count(), 0);
    ASSERT_TRUE(road.wait(kHangLimitMs));
    EXPECT_FALSE(f.app->isStarting());
    EXPECT_FALSE(f.app->engine());
    EXPECT_EQ(f.window->content()->current(), f.window->content()->welcome());
}

TEST(ContentView, ARememberedFirmwareStartsOnceWhenTheWindowComesOnScreen) {
    TW_REQUIRE_TEST_FIRMWARE();
    useTestFingerprints();
    WindowFixture f;
    f.remember(Firmware::Hp15c);
    f.window->show();
    EXPECT_FALSE(f.app->isStarting()); // deferred from the show
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.app->isRunning(); }, kHangLimitMs));
    EXPECT_EQ(f.window->content()->current(), f.window->content()->calculator());

    // Coming on screen again while the engine runs starts no second engine.
    CalculatorEngine* engine = f.app->engine();
    f.window->hide();
    f.window->show();
    QTest::qWait(50);
    EXPECT_EQ(f.app->engine(), engine);
    EXPECT_FALSE(f.app->isStarting());
}

TEST(ContentView, AnUnreadableRememberedFirmwareLeavesTheWelcomeViewSilently) {
    WindowFixture f;
    f.platform.setSetting("firmwareBookmark", Platform::fileReference("/nonexistent/fw.bin"));
    f.platform.setSetting("firmwareName", "fw.bin");
    QSignalSpy road(f.window->content(), &ContentView::startRoadRan);
    f.window->show();
    ASSERT_TRUE(road.wait(kHangLimitMs));
    EXPECT_FALSE(f.app->isStarting());
    EXPECT_FALSE(f.app->errorMessage());
    EXPECT_EQ(f.window->content()->current(), f.window->content()->welcome());
}

TEST(CalculatorWithInspector, TheFaceKeepsItsRatioBesideTheInspector) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    CalculatorWithInspector* calculator = f.showRunning(Firmware::Hp15c);
    ASSERT_TRUE(calculator);
    QApplication::processEvents();
    const double ratio = f.app->faceAspectRatio();
    auto ratioOf = [](const QWidget* w) { return double(w->width()) / w->height(); };
    EXPECT_NEAR(ratioOf(calculator->face()), ratio, 0.02);
    // As large as the area allows: it fills one of the two directions, or of the area
    // beside or below the menu button when it would reach under it.
    const QRect button = calculator->menuButton()->geometry();
    EXPECT_FALSE(calculator->face()->geometry().intersects(button));
    EXPECT_EQ(calculator->face()->geometry(),
              AspectRatioBox::fitted(calculator->faceBox()->rect(), calculator->faceBox()->ratio(),
                                     button.adjusted(-4, -4, 4, 4)));
    // A window much wider than the face: dark bands left and right.
    f.window->resize(1800, 500);
    QApplication::processEvents();
    EXPECT_EQ(calculator->face()->height(), calculator->faceBox()->height());
    EXPECT_GT(calculator->face()->x(), 0);

    f.app->setShowInspector(true);
    QApplication::processEvents();
    const QWidget* column = calculator->inspectorColumn();
    EXPECT_TRUE(column->isVisible());
    EXPECT_GE(column->width(), 260);
    EXPECT_LE(column->width(), 520);
    EXPECT_NEAR(ratioOf(calculator->face()), ratio, 0.02);
    EXPECT_LE(calculator->face()->geometry().right(), calculator->faceBox()->width());

    // The drawn face has its own ratio.
    f.app->setFaceStyle(FaceStyle::drawn);
    EXPECT_DOUBLE_EQ(calculator->faceBox()->ratio(), 1.62);
    f.window->resize(1600, 600);
    QApplication::processEvents();
    EXPECT_LE(column->width(), 520);
}

// At the least window size, with and without the inspector, on either face: the face
// is as wide as in the smallest window without the inspector, and the floating menu
// button covers none of it (the model's name sits in its top right corner).
TEST(CalculatorWithInspector, AtTheLeastSizeTheFaceStaysLegibleAndClearOfTheMenuButton) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    CalculatorWithInspector* calculator = f.showRunning(Firmware::Hp15c);
    ASSERT_TRUE(calculator);
    for (const FaceStyle style : allFaceStyles) {
        f.app->setFaceStyle(style);
        int alone = 0;
        for (const bool inspector : {false, true}) {
            f.app->setShowInspector(inspector);
            QApplication::processEvents();
            f.window->resize(1, 1);
            QApplication::processEvents();
            const QWidget* face = calculator->face();
            const QRect button = calculator->menuButton()->geometry(); // the box fills the area
            EXPECT_FALSE(face->geometry().intersects(button)) << inspector;
            if (!inspector) alone = face->width();
            else EXPECT_GE(face->width(), alone) << "beside the inspector";
            EXPECT_GE(face->width(), 400) << inspector;
            EXPECT_LE(f.window->content()->width(), 480 + (inspector ? 261 + 260 : 0));
        }
    }
    // A wide window leaves the face centred at its full height beside the button.
    f.app->setShowInspector(false);
    f.window->resize(1600, 600);
    QApplication::processEvents();
    EXPECT_EQ(calculator->face()->height(), calculator->faceBox()->height());
    EXPECT_FALSE(calculator->face()->geometry().intersects(calculator->menuButton()->geometry()));
}

TEST(AspectRatioBox, AChildKeepsClearOfAPartBesideOrBelowIt) {
    const QRect area(0, 0, 480, 300);
    const QRect button(434, 6, 40, 40);
    EXPECT_EQ(AspectRatioBox::fitted(area, 1.6, QRect()), QRect(0, 0, 480, 300));
    const QRect clear = AspectRatioBox::fitted(area, 1.6, button);
    EXPECT_FALSE(clear.intersects(button));
    EXPECT_EQ(clear.width(), 434); // beside it: larger than below it (254 high, 406 wide)
    // Far from the part nothing changes.
    EXPECT_EQ(AspectRatioBox::fitted(QRect(0, 0, 1600, 600), 1.6, QRect(1554, 6, 40, 40)),
              AspectRatioBox::fitted(QRect(0, 0, 1600, 600), 1.6));
}

// On a right-to-left desktop the calculator's legends, display and the inspector's
// numbers keep the calculator's left-to-right order.
TEST(CalculatorWithInspector, ARightToLeftDesktopKeepsTheCalculatorsOrder) {
    TW_REQUIRE_TEST_FIRMWARE();
    struct Restore {
        ~Restore() { QApplication::setLayoutDirection(Qt::LeftToRight); }
    } restore;
    WindowFixture f;
    CalculatorWithInspector* calculator = f.showRunning(Firmware::Hp15c);
    ASSERT_TRUE(calculator);
    f.app->setFaceStyle(FaceStyle::drawn);
    f.app->setShowInspector(true);
    QApplication::processEvents();
    auto* view = calculator->face()->findChild<CalculatorView*>();
    if (!view) view = qobject_cast<CalculatorView*>(calculator->face());
    ASSERT_TRUE(view);
    KeyView* root = view->drawnFace()->keyView(0); // √x
    ASSERT_TRUE(root);
    const QImage leftToRight = root->grab().toImage();

    QApplication::setLayoutDirection(Qt::RightToLeft);
    QApplication::processEvents();
    EXPECT_EQ(calculator->layoutDirection(), Qt::RightToLeft); // the window itself follows the desktop
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             view->drawnFace(), root, view->drawnFace()->findChild<LCDView*>(),
             calculator->inspectorColumn()->findChild<InspectorView*>()}) {
        ASSERT_TRUE(w);
        EXPECT_EQ(w->layoutDirection(), Qt::LeftToRight) << w->metaObject()->className();
    }
    // The key's legends are drawn as before, "√x" and not "x√".
    EXPECT_EQ(root->grab().toImage(), leftToRight);
}

TEST(PendingOpens, TheCommandLinesFiles) {
    EXPECT_EQ(PendingOpens::filesFromArguments({"tarnwick", "a.15c", "--verbose", "/tmp/b.16c", "--", "-odd.12c"}),
              (QStringList{"a.15c", "/tmp/b.16c", "-odd.12c"}));
    EXPECT_TRUE(PendingOpens::filesFromArguments({"tarnwick"}).isEmpty());
}

TEST(PendingOpens, AFileWaitsUntilTheCalculatorRuns) {
    TW_REQUIRE_TEST_FIRMWARE();
    WindowFixture f;
    PendingOpens opens(*f.app);
    QSignalSpy delivered(&opens, &PendingOpens::delivered);
    opens.open({QStringLiteral("file:///tmp/a%20b.15c"), QStringLiteral("relative.16c")});
    QTest::qWait(20);
    EXPECT_EQ(delivered.count(), 0);
    EXPECT_EQ(opens.waiting(), (QStringList{"/tmp/a b.15c", QDir::current().absoluteFilePath("relative.16c")}));

    // A start that is only under way is not yet a running calculator.
    useTestFingerprints();
    f.app->start(QStringLiteral("testfw.bin"), firmwareBytes(Firmware::Hp15c), std::nullopt);
    EXPECT_EQ(delivered.count(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.count() == 2; }, kHangLimitMs));
    EXPECT_TRUE(f.app->isRunning());
    EXPECT_EQ(delivered.at(0).at(0).toString(), "/tmp/a b.15c");
    EXPECT_TRUE(opens.waiting().isEmpty());

    // While it runs, a file goes straight on, once.
    opens.open({QStringLiteral("/tmp/c.12c")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.count() == 3; }, kHangLimitMs));
    QTest::qWait(20);
    EXPECT_EQ(delivered.count(), 3);
}

} // namespace
} // namespace tw::test
