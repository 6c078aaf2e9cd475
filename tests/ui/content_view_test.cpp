#include "ui/main/pending_opens.h"
#include "ui/window/aspect_ratio_box.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/content_view.h"
#include "window_fixture.h"

#include <QApplication>
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

TEST(ContentView, FirstLaunchShowsTheWelcomeViewAndStartsNothing) {
    WindowFixture f;
    QSignalSpy road(f.window->content(), &ContentView::startRoadRan);
    f.window->show();
    // Not while being shown: after the window is on screen.
    EXPECT_EQ(road.count(), 0);
    ASSERT_TRUE(road.wait(2000));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.app->isRunning(); }, 10000));
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
    ASSERT_TRUE(road.wait(2000));
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
    // As large as the area allows: it fills one of the two directions.
    const QSize face = calculator->face()->size(), area = calculator->faceBox()->size();
    EXPECT_TRUE(face.width() == area.width() || face.height() == area.height());
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.count() == 2; }, 10000));
    EXPECT_TRUE(f.app->isRunning());
    EXPECT_EQ(delivered.at(0).at(0).toString(), "/tmp/a b.15c");
    EXPECT_TRUE(opens.waiting().isEmpty());

    // While it runs, a file goes straight on, once.
    opens.open({QStringLiteral("/tmp/c.12c")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.count() == 3; }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(delivered.count(), 3);
}

} // namespace
} // namespace tw::test
