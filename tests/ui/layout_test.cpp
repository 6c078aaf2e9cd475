#include "ui/window/aspect_ratio_box.h"
#include "ui/window/calculator_style.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(AspectRatioBox, TheChildIsAsLargeAsTheRatioAllowsAndCentred) {
    // A wide area: bands left and right.
    EXPECT_EQ(AspectRatioBox::fitted(QRect(0, 0, 1000, 300), 2.0), QRect(200, 0, 600, 300));
    // A tall area: bands above and below.
    EXPECT_EQ(AspectRatioBox::fitted(QRect(0, 0, 400, 1000), 2.0), QRect(0, 400, 400, 200));
    EXPECT_EQ(AspectRatioBox::fitted(QRect(10, 20, 162, 100), 1.62), QRect(10, 20, 162, 100));
    EXPECT_TRUE(AspectRatioBox::fitted(QRect(0, 0, 0, 100), 1.62).isEmpty());

    AspectRatioBox box;
    auto* child = new QWidget;
    box.setChild(child);
    box.resize(900, 300);
    box.show();
    EXPECT_EQ(child->geometry(), AspectRatioBox::fitted(box.rect(), 1.62));
    box.setRatio(0.5);
    EXPECT_EQ(child->geometry(), QRect(375, 0, 150, 300));
    box.setRatio(0); // ignored
    EXPECT_EQ(box.ratio(), 0.5);
}

// Whether a lone Alt tap leaves the keyboard focus where it was.
bool altTapKeepsFocus(QStyle* style) {
    QMainWindow window;
    window.setStyle(style);
    window.menuBar()->setStyle(style);
    window.menuBar()->setNativeMenuBar(false);
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Open"));
    auto* field = new QLineEdit;
    window.setCentralWidget(field);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return false;
    field->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    QApplication::processEvents();
    return QApplication::focusWidget() == field;
}

TEST(CalculatorStyle, ALoneAltTapStaysWithTheCalculator) {
    // Styles with menu-bar keyboard navigation take the focus on an Alt tap...
    auto* windows = QStyleFactory::create(QStringLiteral("Windows"));
    ASSERT_TRUE(windows);
    EXPECT_FALSE(altTapKeepsFocus(windows));
    delete windows;
    // ...ours never does, whatever style it wraps.
    for (const QString& name : {QStringLiteral("Windows"), QStringLiteral("Fusion"), QString()}) {
        CalculatorStyle style(name);
        EXPECT_TRUE(altTapKeepsFocus(&style)) << name.toStdString();
    }
}

} // namespace
} // namespace tw
