// Clicks and keys on the calculator view reaching the application model's pressed and
// latched keys, without an engine and on a running calculator (our test firmware).
#include "ui/ui_test_support.h"

#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "support/hang_limit.h"
#include "support/test_firmware.h"
#include "ui/face/calculator_face.h"
#include "ui/face/calculator_view.h"
#include "ui/keyboard/hardware_keyboard.h"
#include "ui/face/key_view.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

using Codes = std::set<int>;

class ViewOnAppModel : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        app = std::make_unique<AppModel>(platform);
        app->setFaceStyle(FaceStyle::drawn);
        view = std::make_unique<CalculatorView>(*app);
        view->resize(1000, 620);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void TearDown() override {
        view.reset();
        app.reset();
    }

    void startCalculator() {
        test::useTestFingerprints();
        app->start(QStringLiteral("test"), test::firmwareBytes(test::Firmware::Hp15c), std::nullopt);
        QTRY_VERIFY_WITH_TIMEOUT(app->isRunning(), test::kHangLimitMs);
        QTRY_COMPARE_WITH_TIMEOUT(app->model().id, 15, test::kHangLimitMs);
    }

    KeyView* key(int code) { return view->drawnFace()->keyView(code); }
    QPoint at(int code) { return key(code)->mapTo(view.get(), QPoint(key(code)->width() / 2, 4)); }
    void press(int code, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mousePress(view->windowHandle(), Qt::LeftButton, m, at(code));
    }
    void release(int code, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, m, at(code));
    }
    void click(int code, Qt::KeyboardModifiers m = Qt::NoModifier) {
        press(code, m);
        release(code, m);
    }

    MemoryPlatform platform;
    std::unique_ptr<AppModel> app;
    std::unique_ptr<CalculatorView> view;
};

TEST_F(ViewOnAppModel, WithoutAnEngineClicksPressAndLatchNothing) {
    ASSERT_EQ(app->engine(), nullptr);
    press(24);
    EXPECT_TRUE(key(24)->isDown()); // the look follows the button all the same
    EXPECT_EQ(app->pressedKeys(), Codes{});
    release(24);
    click(33, Qt::ControlModifier);
    EXPECT_EQ(app->latchedKeys(), Codes{});
    EXPECT_TRUE(app->latch().isEmpty());
}

TEST_F(ViewOnAppModel, ClicksAndLatchesOnARunningCalculator) {
    TW_REQUIRE_TEST_FIRMWARE();
    startCalculator();

    press(24);
    EXPECT_EQ(app->pressedKeys(), Codes{24});
    release(24);
    EXPECT_EQ(app->pressedKeys(), Codes{});

    // Ctrl-click latches and presses; its release keeps the key down.
    click(33, Qt::ControlModifier);
    EXPECT_EQ(app->latchedKeys(), Codes{33});
    EXPECT_EQ(app->pressedKeys(), Codes{33});
    EXPECT_TRUE(key(33)->isLatched());
    EXPECT_TRUE(key(33)->isDown());

    // A plain click on another key plays the chord: its press and release, then the
    // latched keys let go.
    press(26);
    EXPECT_EQ(app->pressedKeys(), (Codes{26, 33}));
    release(26);
    EXPECT_EQ(app->latchedKeys(), Codes{});
    EXPECT_EQ(app->pressedKeys(), Codes{});
    EXPECT_FALSE(key(33)->isLatched());

    // Ctrl-click on a latched key releases every latched key, ENTER shown as 25.
    click(25, Qt::ControlModifier);
    click(31, Qt::ControlModifier);
    EXPECT_EQ(app->latchedKeys(), (Codes{25, 31}));
    click(31, Qt::ControlModifier);
    EXPECT_EQ(app->latchedKeys(), Codes{});
    EXPECT_EQ(app->pressedKeys(), Codes{});

    // A plain click on a latched key lets go of all at its start; its own release is swallowed.
    click(25, Qt::ControlModifier);
    press(25);
    EXPECT_EQ(app->pressedKeys(), Codes{});
    EXPECT_EQ(app->latch().swallow(), Codes{25});
    release(25);
    EXPECT_EQ(app->latch().swallow(), Codes{});
    EXPECT_EQ(app->pressedKeys(), Codes{});
}

TEST_F(ViewOnAppModel, TheContextMenuItemLatchesAndTheGoldLegendPressesTheShiftedKey) {
    TW_REQUIRE_TEST_FIRMWARE();
    startCalculator();
    std::unique_ptr<QMenu> menu(key(34)->gesture().makeContextMenu());
    menu->actions().front()->trigger();
    EXPECT_EQ(app->latchedKeys(), Codes{34});
    menu->actions().front()->trigger();
    EXPECT_EQ(app->latchedKeys(), Codes{});

    LegendArea* gold = view->drawnFace()->legendArea(7);
    ASSERT_NE(gold, nullptr);
    const QPoint p = gold->mapTo(view.get(), QPoint(2, 2));
    QTest::mousePress(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(app->pressedKeys(), Codes{7});
    QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(app->pressedKeys(), Codes{});
}

TEST_F(ViewOnAppModel, TheDesktopKeyboardPlaysThroughTheSameLatch) {
    TW_REQUIRE_TEST_FIRMWARE();
    startCalculator();
    HardwareKeyboard* keyboard = view->keyboard();
    ASSERT_NE(keyboard, nullptr);
    ASSERT_TRUE(keyboard->isInstalled());
    const auto send = [this](QEvent::Type type, int qtKey, Qt::KeyboardModifiers m, quint32 scan, QString text) {
        QKeyEvent event(type, qtKey, m, scan, 0, 0, text);
        QCoreApplication::sendEvent(view->windowHandle(), &event);
    };
    send(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, 16, "7");
    EXPECT_EQ(app->pressedKeys(), Codes{6});
    send(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, 16, "7");
    EXPECT_EQ(app->pressedKeys(), Codes{});
    // Alt with 8: its blue function, released by the key's own code.
    send(QEvent::KeyPress, Qt::Key_8, Qt::AltModifier, 17, "8");
    EXPECT_EQ(app->pressedKeys(), Codes{7});
    send(QEvent::KeyRelease, Qt::Key_8, Qt::AltModifier, 17, "8");
    EXPECT_EQ(app->pressedKeys(), Codes{});
    // Hiding the view lets go of a key still held.
    send(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, 18, "9");
    EXPECT_EQ(app->pressedKeys(), Codes{8});
    view->hide();
    EXPECT_EQ(app->pressedKeys(), Codes{});
}

} // namespace
} // namespace tw
