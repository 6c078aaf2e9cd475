// The desktop keyboard on synthetic key events delivered to the calculator's window.
#include "ui/ui_test_support.h"

#include "inspector/register_list.h"
#include "runtime/catalog/calculator_model.h"
#include "support/hang_limit.h"
#include "ui/keyboard/desktop_key_table.h"
#include "ui/keyboard/hardware_keyboard.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace tw {
namespace {

using Log = std::vector<std::string>;

// Scan codes of a US keyboard under X11.
constexpr quint32 kScan7 = 16;
constexpr quint32 kScanEquals = 21;
constexpr quint32 kScanShift = 50;
constexpr quint32 kScanAlt = 64;
constexpr quint32 kScanAltGr = 108;
constexpr quint32 kScanCtrl = 37;

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        view.resize(300, 200);
        keyboard = new HardwareKeyboard(&view);
        HardwareKeyRouter& router = keyboard->router();
        router.model = []() -> const CalculatorModel& { return CalculatorModel::hp15c(); };
        router.press = [this](int code) { log.push_back("press " + std::to_string(code)); };
        router.pressShifted = [this](int shift, int code) {
            log.push_back("shifted " + std::to_string(shift) + " " + std::to_string(code));
        };
        router.release = [this](int code) { log.push_back("release " + std::to_string(code)); };
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_TRUE(keyboard->isInstalled());
    }

    // Answers whether the event was swallowed.
    bool key(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers, quint32 scan, const QString& text = {},
             bool repeat = false, QWindow* window = nullptr) {
        QKeyEvent event(type, qtKey, modifiers, scan, 0, 0, text, repeat);
        event.setAccepted(false);
        QCoreApplication::sendEvent(window ? window : view.windowHandle(), &event);
        return swallowedLast = event.isAccepted() && !reachedWidget;
    }
    bool down(int qtKey, Qt::KeyboardModifiers m, quint32 scan, const QString& text = {}, bool repeat = false) {
        return key(QEvent::KeyPress, qtKey, m, scan, text, repeat);
    }
    bool up(int qtKey, Qt::KeyboardModifiers m, quint32 scan, const QString& text = {}, bool repeat = false) {
        return key(QEvent::KeyRelease, qtKey, m, scan, text, repeat);
    }
    // A key event with the X server's time (ms), unmarked as a repeat, as Qt hands on
    // most of those of a held key.
    void at(quint64 time, QEvent::Type type, int qtKey, quint32 scan, const QString& text) {
        QKeyEvent event(type, qtKey, Qt::NoModifier, scan, 0, 0, text);
        event.setTimestamp(time);
        QCoreApplication::sendEvent(view.windowHandle(), &event);
    }

    // Declared before the view: the view's teardown can still release a held key into it.
    Log log;
    QWidget view;
    HardwareKeyboard* keyboard = nullptr;
    bool swallowedLast = false;
    bool reachedWidget = false;
};

TEST_F(KeyboardTest, AKeyPressesOnceWhileHeldAndRepeatsAreSwallowed) {
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    // X11's auto-repeat: a release and a press, both marked as repeats.
    up(Qt::Key_7, Qt::NoModifier, kScan7, "7", true);
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7", true);
    up(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
}

TEST_F(KeyboardTest, AReleaseAndPressAtOneServerTimeAreARepeatButQuickTapsAreEachAPress) {
    const QString seven = QStringLiteral("7");
    at(1000, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(1500, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    at(1500, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(1540, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    at(1540, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    EXPECT_EQ(log, (Log{"press 6"}));
    // The real release goes up on its own, soon.
    at(1900, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    QTRY_COMPARE_WITH_TIMEOUT(log.size(), std::size_t(2), test::kHangLimitMs);
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));

    // Taps: each release goes up before the next press, of the same key or another.
    log.clear();
    at(2000, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(2000, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    at(2010, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(2020, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    at(2030, QEvent::KeyPress, Qt::Key_8, 17, QStringLiteral("8"));
    EXPECT_EQ(log, (Log{"press 6", "release 6", "press 6", "release 6", "press 7"}));

    // A key kept back goes up once when the view goes away.
    log.clear();
    at(2040, QEvent::KeyRelease, Qt::Key_8, 17, QStringLiteral("8"));
    view.hide();
    QTest::qWait(60);
    EXPECT_EQ(log, (Log{"release 7"}));
}

TEST_F(KeyboardTest, ARepeatWhosePressComesAfterTheWaitPressesNothing) {
    // A busy machine: the release of the server's repeat goes up on its own before its press arrives.
    const QString seven = QStringLiteral("7");
    at(1000, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(1500, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    QTRY_COMPARE_WITH_TIMEOUT(log.size(), std::size_t(2), test::kHangLimitMs);
    at(1500, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(1540, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    at(1540, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    at(1900, QEvent::KeyRelease, Qt::Key_7, kScan7, seven);
    QTest::qWait(60);
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
    // The next tap is a press again.
    at(2000, QEvent::KeyPress, Qt::Key_7, kScan7, seven);
    EXPECT_EQ(log, (Log{"press 6", "release 6", "press 6"}));
}

TEST_F(KeyboardTest, AltWithAKeyGivesItsBlueFunctionButAltGrDoesNot) {
    down(Qt::Key_Alt, Qt::AltModifier, kScanAlt);
    down(Qt::Key_7, Qt::AltModifier, kScan7, "7");
    up(Qt::Key_7, Qt::AltModifier, kScan7, "7");
    up(Qt::Key_Alt, Qt::NoModifier, kScanAlt);
    down(Qt::Key_AltGr, Qt::GroupSwitchModifier, kScanAltGr);
    down(Qt::Key_7, Qt::GroupSwitchModifier, kScan7, "7");
    up(Qt::Key_7, Qt::GroupSwitchModifier, kScan7, "7");
    up(Qt::Key_AltGr, Qt::NoModifier, kScanAltGr);
    EXPECT_EQ(log, (Log{"shifted 32 6", "release 6", "press 6", "release 6"}));
}

TEST_F(KeyboardTest, LoneShiftTapsFAndLoneAltTapsG) {
    down(Qt::Key_Shift, Qt::ShiftModifier, kScanShift);
    up(Qt::Key_Shift, Qt::NoModifier, kScanShift);
    down(Qt::Key_Alt, Qt::AltModifier, kScanAlt);
    up(Qt::Key_Alt, Qt::NoModifier, kScanAlt);
    EXPECT_EQ(log, (Log{"press 31", "release 31", "press 32", "release 32"}));
}

TEST_F(KeyboardTest, ShiftHeldAcrossAKeyTypesTheShiftedCharacterAndTapsNothing) {
    down(Qt::Key_Shift, Qt::ShiftModifier, kScanShift);
    down(Qt::Key_Plus, Qt::ShiftModifier, kScanEquals, "+");
    up(Qt::Key_Plus, Qt::ShiftModifier, kScanEquals, "+");
    up(Qt::Key_Shift, Qt::NoModifier, kScanShift);
    EXPECT_EQ(log, (Log{"press 39", "release 39"}));
}

TEST_F(KeyboardTest, AReleaseFindsItsPressAfterTheModifiersChanged) {
    down(Qt::Key_Equal, Qt::NoModifier, kScanEquals, "=");
    down(Qt::Key_Shift, Qt::ShiftModifier, kScanShift);
    up(Qt::Key_Plus, Qt::ShiftModifier, kScanEquals, "+");
    up(Qt::Key_Shift, Qt::NoModifier, kScanShift);
    EXPECT_EQ(log, (Log{"press 25", "release 25"}));
}

TEST_F(KeyboardTest, CtrlPassesThroughButAKeyReleasedUnderCtrlStillGoesUp) {
    EXPECT_FALSE(down(Qt::Key_7, Qt::ControlModifier, kScan7, "7"));
    down(Qt::Key_8, Qt::NoModifier, 17, "8");
    down(Qt::Key_Control, Qt::ControlModifier, kScanCtrl);
    up(Qt::Key_8, Qt::ControlModifier, 17, "8");
    up(Qt::Key_Control, Qt::NoModifier, kScanCtrl);
    // Shift pressed and let go around a Ctrl shortcut taps nothing.
    down(Qt::Key_Shift, Qt::ShiftModifier, kScanShift);
    down(Qt::Key_S, Qt::ShiftModifier | Qt::ControlModifier, 39, "S");
    up(Qt::Key_Shift, Qt::NoModifier, kScanShift);
    EXPECT_EQ(log, (Log{"press 7", "release 7"}));
}

TEST_F(KeyboardTest, LosingTheWindowReleasesKeysAndForgetsAlt) {
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    down(Qt::Key_Alt, Qt::AltModifier, kScanAlt);
    // Alt+Tab: the window manager keeps the Tab and the Alt release.
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&view, &deactivate);
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
    // Back again, a digit without Alt is a plain digit, and the late key-up is nothing.
    up(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    down(Qt::Key_8, Qt::NoModifier, 17, "8");
    up(Qt::Key_8, Qt::NoModifier, 17, "8");
    up(Qt::Key_Alt, Qt::NoModifier, kScanAlt);
    EXPECT_EQ(log, (Log{"press 6", "release 6", "press 7", "release 7"}));
}

TEST_F(KeyboardTest, WhileADialogIsOpenPressesPassAndHeldKeysAreLetGo) {
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    down(Qt::Key_Alt, Qt::AltModifier, kScanAlt);
    QDialog dialog(&view);
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
    // Typing in the dialog plays nothing; the late releases change nothing.
    key(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, 17, "8", false, dialog.windowHandle());
    key(QEvent::KeyRelease, Qt::Key_8, Qt::NoModifier, 17, "8", false, dialog.windowHandle());
    key(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, kScan7, "7", false, dialog.windowHandle());
    key(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, kScanAlt, {}, false, dialog.windowHandle());
    dialog.close();
    down(Qt::Key_8, Qt::NoModifier, 17, "8");
    up(Qt::Key_8, Qt::NoModifier, 17, "8");
    EXPECT_EQ(log, (Log{"press 6", "release 6", "press 7", "release 7"}));
}

TEST_F(KeyboardTest, KeysTypedInAnotherWindowAreNotTheCalculatorsButReleasesAre) {
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    key(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, 17, "8", false, other.windowHandle());
    key(QEvent::KeyRelease, Qt::Key_8, Qt::NoModifier, 17, "8", false, other.windowHandle());
    key(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, kScan7, "7", false, other.windowHandle());
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
}

TEST_F(KeyboardTest, ATextFieldKeepsItsKeys) {
    auto* field = new QLineEdit(&view);
    field->show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    up(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(field->text(), QStringLiteral("7"));
}

TEST_F(KeyboardTest, AReadOnlyRegisterValueKeepsOnlyItsSelectionKeys) {
    auto* registers = new RegisterListView(&view);
    RegisterValue x;
    x.name = "X";
    x.text = "12.5";
    registers->setRows({RegisterRow{x, 10, {}, {}}});
    registers->resize(300, registers->sizeHint().height());
    registers->show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    const QRect row = registers->visualRect(registers->model()->index(0, 0));
    QTest::mouseDClick(registers->viewport(), Qt::LeftButton, {}, row.center());
    QCoreApplication::processEvents();
    auto* field = registers->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->hasFocus());
    ASSERT_EQ(field->selectedText(), QStringLiteral("12.5"));

    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    up(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    // Shift with an arrow shortens the selection and taps nothing.
    down(Qt::Key_Shift, Qt::ShiftModifier, kScanShift);
    down(Qt::Key_Left, Qt::ShiftModifier, 113);
    up(Qt::Key_Left, Qt::ShiftModifier, 113);
    up(Qt::Key_Shift, Qt::NoModifier, kScanShift);
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
    EXPECT_EQ(field->selectedText(), QStringLiteral("12."));
}

TEST_F(KeyboardTest, HidingTheViewRemovesTheFilterAndReleasesHeldKeys) {
    down(Qt::Key_7, Qt::NoModifier, kScan7, "7");
    view.hide();
    EXPECT_FALSE(keyboard->isInstalled());
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
    view.show();
    EXPECT_TRUE(keyboard->isInstalled());
}

TEST(DesktopKeyTable, SpecialKeysBothBlocksAndTheKeypad) {
    const auto shortcut = [](int key, Qt::KeyboardModifiers m, const QString& text = {}) {
        return shortcutForKeyEvent(QKeyEvent(QEvent::KeyPress, key, m, text));
    };
    const auto special = [](SpecialKey k) { return std::optional(KeyShortcut::special(k)); };
    EXPECT_EQ(shortcut(Qt::Key_Return, Qt::NoModifier, "\r"), special(SpecialKey::returnKey));
    EXPECT_EQ(shortcut(Qt::Key_Enter, Qt::KeypadModifier, "\r"), special(SpecialKey::returnKey));
    EXPECT_EQ(shortcut(Qt::Key_Backspace, Qt::NoModifier), special(SpecialKey::deleteKey));
    EXPECT_EQ(shortcut(Qt::Key_Delete, Qt::NoModifier), special(SpecialKey::deleteKey));
    EXPECT_EQ(shortcut(Qt::Key_Escape, Qt::NoModifier), special(SpecialKey::escape));
    EXPECT_EQ(shortcut(Qt::Key_Tab, Qt::NoModifier, "\t"), special(SpecialKey::tab));
    EXPECT_EQ(shortcut(Qt::Key_Up, Qt::NoModifier), special(SpecialKey::upArrow));
    // NumLock off: the keypad's 4 is Left; on: it is the digit.
    EXPECT_EQ(shortcut(Qt::Key_Left, Qt::KeypadModifier), special(SpecialKey::leftArrow));
    EXPECT_EQ(shortcut(Qt::Key_4, Qt::KeypadModifier, "4"), std::optional(KeyShortcut::character(U'4')));
    EXPECT_EQ(shortcut(Qt::Key_Home, Qt::KeypadModifier), std::nullopt);
    // Alt does not change the character looked up.
    EXPECT_EQ(shortcut(Qt::Key_Q, Qt::AltModifier, QStringLiteral("œ")), std::optional(KeyShortcut::character(U'Q')));
    EXPECT_EQ(shortcut(Qt::Key_Q, Qt::NoModifier, QStringLiteral("q")), std::optional(KeyShortcut::character(U'q')));
    EXPECT_EQ(shortcut(Qt::Key_F1, Qt::NoModifier), std::nullopt);
}

} // namespace
} // namespace tw
