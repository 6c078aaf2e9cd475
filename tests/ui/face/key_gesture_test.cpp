// Clicks on the drawn face's keys and legends: one press and one release per click,
// latching, the part a click means, and presses that the window system abandons.
#include "ui/ui_test_support.h"

#include "runtime/catalog/calculator_model.h"
#include "ui/face/calculator_face.h"
#include "ui/face/key_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

std::string partName(KeyPart part) { return std::string(rawValue(part)); }

class DrawnFaceClicks : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        face.setModel(CalculatorModel::hp15c());
        face.resize(1000, 620);
        FaceCallbacks callbacks;
        callbacks.press = [this](int code) { log.push_back("press " + std::to_string(code)); };
        callbacks.release = [this](int code) { log.push_back("release " + std::to_string(code)); };
        callbacks.pressPart = [this](int code, KeyPart part) {
            log.push_back("part " + std::to_string(code) + " " + partName(part));
        };
        face.setCallbacks(callbacks);
        KeyLatchHandlers handlers;
        handlers.toggle = [this](int code) { log.push_back("toggle " + std::to_string(code)); };
        face.setLatchHandlers(handlers);
        face.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    }

    KeyView* key(int code) { return face.keyView(code); }
    // Through the window, as the window system delivers them: the implicit grab sends
    // the release to the widget that got the press.
    QWindow* window() { return face.windowHandle(); }
    QPoint inFace(QWidget* w, QPoint p) { return w->mapTo(&face, p); }
    void click(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(window(), b, m, inFace(w, p));
    }
    void press(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mousePress(window(), Qt::LeftButton, m, inFace(w, p));
    }
    void release(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mouseRelease(window(), Qt::LeftButton, m, inFace(w, p));
    }
    void move(QWidget* w, QPoint p) { QTest::mouseMove(window(), inFace(w, p)); }
    QPoint topOf(KeyView* k) { return QPoint(k->width() / 2, k->height() / 4); }
    QPoint stripOf(KeyView* k) { return QPoint(k->width() / 2, k->height() - static_cast<int>(k->stripHeight() / 2)); }

    CalculatorFace face;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(DrawnFaceClicks, AClickIsOnePressAndOneReleaseWhereverTheButtonGoesUp) {
    click(key(24), topOf(key(24)), Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"press 24", "release 24"}));
    log.clear();
    // Dragged off the key onto another one and let go there.
    press(key(24), topOf(key(24)), Qt::NoModifier);
    EXPECT_TRUE(key(24)->isDown());
    move(key(13), topOf(key(13)));
    release(key(13), topOf(key(13)));
    EXPECT_EQ(log, (Log{"press 24", "release 24"}));
    EXPECT_FALSE(key(24)->isDown());
}

TEST_F(DrawnFaceClicks, ADoubleClickIsTwoClicks) {
    QTest::mouseDClick(window(), Qt::LeftButton, Qt::NoModifier, inFace(key(7), topOf(key(7))));
    EXPECT_EQ(log, (Log{"press 7", "release 7", "press 7", "release 7"}));
}

TEST_F(DrawnFaceClicks, OnlyTheLeftButtonPresses) {
    click(key(7), topOf(key(7)), Qt::NoModifier, Qt::MiddleButton);
    // The right button opens the key's menu, which is the menu's business, not a press.
    click(key(7), topOf(key(7)), Qt::NoModifier, Qt::RightButton);
    for (QMenu* menu : key(7)->findChildren<QMenu*>()) menu->close();
    for (const std::string& entry : log) EXPECT_EQ(entry.rfind("press", 0), std::string::npos) << entry;
    for (const std::string& entry : log) EXPECT_EQ(entry.rfind("release", 0), std::string::npos) << entry;
}

TEST_F(DrawnFaceClicks, CtrlClickAndTheMenuItemLatchWithoutAPlainPressOrRelease) {
    click(key(33), topOf(key(33)), Qt::ControlModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"toggle 33"}));
    log.clear();
    // Ctrl let go during a plain press changes nothing about it.
    press(key(34), topOf(key(34)), Qt::NoModifier);
    release(key(34), topOf(key(34)), Qt::ControlModifier);
    EXPECT_EQ(log, (Log{"press 34", "release 34"}));
    log.clear();

    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, topOf(key(33)), key(33)->mapToGlobal(topOf(key(33))));
    QCoreApplication::sendEvent(key(33), &menuEvent);
    auto* menu = key(33)->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Hold Key Down (Latch)"));
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_EQ(log, (Log{"toggle 33"}));
}

TEST_F(DrawnFaceClicks, TheContextMenuEndsTheHoverLookOfKeysAndLegends) {
    // The tint and the badge go with the hover when the menu takes the pointer, and
    // do not come back with the latch chosen there.
    LegendArea* gold = face.legendArea(34);
    ASSERT_NE(gold, nullptr);
    const QPoint mid(gold->width() / 2, gold->height() / 2);
    // An earlier test may have left the test mouse's button down, and moves with a
    // button down and no press go nowhere.
    QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    move(gold, mid);
    ASSERT_TRUE(gold->hovering());
    QMenu* menu = test::openContextMenuAsOnX11(*gold, mid);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(gold->hovering());
    menu->close();
    QCoreApplication::processEvents();

    move(key(33), topOf(key(33)));
    ASSERT_TRUE(key(33)->hovering());
    menu = test::openContextMenuAsOnX11(*key(33), topOf(key(33)));
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(key(33)->hovering());
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_FALSE(key(33)->hovering());
    EXPECT_EQ(log, (Log{"toggle 33"}));
}

TEST_F(DrawnFaceClicks, APressThatNeverEndsIsReleased) {
    // The window loses activation in the middle of a press.
    press(key(24), topOf(key(24)), Qt::NoModifier);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(key(24), &deactivate);
    EXPECT_EQ(log, (Log{"press 24", "release 24"}));
    EXPECT_FALSE(key(24)->isDown());
    log.clear();
    // The button came up somewhere the key never heard of.
    press(key(25), topOf(key(25)), Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, QPointF(topOf(key(25))), key(25)->mapToGlobal(QPointF(topOf(key(25)))),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(key(25), &move);
    EXPECT_EQ(log, (Log{"press 25", "release 25"}));
    log.clear();
    // The face is hidden mid-press; a second abandonment releases nothing more.
    press(key(7), topOf(key(7)), Qt::NoModifier);
    face.hide();
    face.abandonPresses();
    EXPECT_EQ(log, (Log{"press 7", "release 7"}));
    log.clear();
    // A latching press ends without a release when abandoned.
    face.show();
    press(key(8), topOf(key(8)), Qt::ControlModifier);
    face.abandonPresses();
    EXPECT_EQ(log, (Log{"toggle 8"}));
}

TEST(DrawnFaceLifetime, AFaceDestroyedMidPressLetsGoOfTheKeyOnce) {
    test::ensureApplication();
    Log log;
    auto face = std::make_unique<CalculatorFace>();
    FaceCallbacks callbacks;
    callbacks.press = [&log](int code) { log.push_back("press " + std::to_string(code)); };
    callbacks.release = [&log](int code) { log.push_back("release " + std::to_string(code)); };
    face->setCallbacks(callbacks);
    face->resize(800, 500);
    face->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(face.get()));
    KeyView* key = face->keyView(24);
    QTest::mousePress(face->windowHandle(), Qt::LeftButton, Qt::NoModifier, key->mapTo(face.get(), QPoint(5, 5)));
    face.reset();
    EXPECT_EQ(log, (Log{"press 24", "release 24"}));
}

TEST_F(DrawnFaceClicks, TheFrontStripPressesTheBlueLegendAndTheGoldAreaTheGoldOne) {
    click(key(7), stripOf(key(7)), Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"part 7 gLabel", "release 7"}));
    log.clear();
    // ON has no blue legend: its strip is the face.
    ASSERT_FALSE(CalculatorModel::hp15c().key(30)->hasG());
    click(key(30), stripOf(key(30)), Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"press 30", "release 30"}));
    log.clear();
    // Only the start counts: pressed on the top, let go on the strip.
    press(key(7), topOf(key(7)), Qt::NoModifier);
    move(key(7), stripOf(key(7)));
    release(key(7), stripOf(key(7)), Qt::NoModifier);
    EXPECT_EQ(log, (Log{"press 7", "release 7"}));
    log.clear();

    LegendArea* gold = face.legendArea(7);
    ASSERT_NE(gold, nullptr);
    click(gold, QPoint(1, 1), Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"part 7 fLabel", "release 7"}));
    EXPECT_EQ(face.legendArea(30), nullptr); // no gold legend, no area
    // The gold area lies over the printed legend, above the key.
    EXPECT_LE(gold->geometry().bottom(), key(7)->geometry().top() + 1);

    // Without a legend callback a legend press is a plain press.
    FaceCallbacks plain;
    plain.press = [this](int code) { log.push_back("press " + std::to_string(code)); };
    plain.release = [this](int code) { log.push_back("release " + std::to_string(code)); };
    face.setCallbacks(plain);
    log.clear();
    click(gold, QPoint(1, 1), Qt::NoModifier, Qt::LeftButton);
    click(key(7), stripOf(key(7)), Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"press 7", "release 7", "press 7", "release 7"}));
}

TEST_F(DrawnFaceClicks, PressedAndLatchedLooksFollowTheSets) {
    face.setPressed({24});
    face.setLatched({25});
    EXPECT_TRUE(key(24)->isDown());
    EXPECT_FALSE(key(23)->isDown());
    EXPECT_TRUE(key(25)->isLatched()); // ENTER
    face.setLatched({});
    EXPECT_FALSE(key(25)->isLatched());
    // The ENTER key's strip is sized from the plain cap, not from its double height.
    EXPECT_NEAR(key(25)->stripHeight(), std::min(0.3 * key(25)->unit(), 0.16 * key(25)->height()), 1e-9);
    EXPECT_NEAR(key(24)->stripHeight(), 0.3 * key(24)->height(), 1e-9);
}

TEST_F(DrawnFaceClicks, TooltipsAndAccessibility) {
    const KeySpec& eight = *CalculatorModel::hp15c().key(7);
    EXPECT_EQ(key(7)->accessibleName(), QStringLiteral("8, f SCI, g RAD"));
    EXPECT_TRUE(key(7)->toolTip().endsWith(QStringLiteral(" — blue legend: g RAD")));
    EXPECT_TRUE(key(7)->toolTip().startsWith(QString::fromStdString(eight.helpText())));
    EXPECT_EQ(face.legendArea(7)->toolTip(), QStringLiteral("f SCI — f, then 8"));
    EXPECT_EQ(face.legendArea(7)->accessibleName(), QStringLiteral("f SCI"));

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(key(7));
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    ASSERT_NE(accessible->actionInterface(), nullptr);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(log, (Log{"press 7", "release 7"}));
}

} // namespace
} // namespace tw
