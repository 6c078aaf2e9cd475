// Register rows (forms, tooltips, copies, change flash) and the registers panel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QSignalSpy>
#include <QTest>

#include "inspector/inspector_fixtures.h"
#include "inspector/matrix_row.h"
#include "inspector/pinned_sections.h"
#include "inspector/register_list.h"
#include "inspector/registers_panel.h"
#include "inspector/section_header.h"
#include "platform/memory_platform.h"

namespace tw {
namespace {

using test::decimalRegister;
using test::integerRegister;

class RegisterTest : public test::WithApp {
protected:
};

// On a right-to-left desktop a negative number keeps its sign on the left: the row
// is drawn as on any other desktop.
TEST_F(RegisterTest, ARightToLeftDesktopDrawsNumbersLeftToRight) {
    struct Restore {
        ~Restore() { QApplication::setLayoutDirection(Qt::LeftToRight); }
    } restore;
    RegisterListView view;
    view.setRows({RegisterRow{decimalRegister("X", "-1234.5", 1), 10, std::nullopt, {}}});
    view.resize(300, 60);
    view.show();
    QApplication::processEvents();
    const QImage leftToRight = view.viewport()->grab().toImage();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    QApplication::processEvents();
    EXPECT_EQ(view.viewport()->grab().toImage(), leftToRight);
}

TEST_F(RegisterTest, ComplexStackRegistersShowBothPartsWithTheRightSign) {
    RegisterRow row{decimalRegister("X", "1.5", 1), 10, decimalRegister("X", "-0.5", 2), {}};
    EXPECT_EQ(row.shownText(), QString::fromUtf8("1.5 \u2212 0.5i"));
    row.imaginary->text = "0.5";
    EXPECT_EQ(row.shownText(), "1.5 + 0.5i");
    // The tooltip and the copy keep the real part's own text.
    EXPECT_EQ(row.helpText(), "X = 1.5");
    ASSERT_EQ(row.copyItems().size(), 1u);
    EXPECT_EQ(row.copyItems()[0].label, "Copy 1.5");
    EXPECT_EQ(row.copyItems()[0].text, "1.5");
    row.descriptor = "matrix B (2×3)";
    EXPECT_EQ(row.shownText(), QString::fromUtf8("matrix B (2×3)"));
}

TEST_F(RegisterTest, BinaryIntegersAreGroupedByFourFromTheRightOnlyInBase2) {
    RegisterRow row{integerRegister("X", "101010101", "341", 341), 2, {}, {}};
    EXPECT_EQ(row.shownText(), "1 0101 0101");
    row.value.text = "10101010";
    EXPECT_EQ(row.shownText(), "10101010");
    row.value.text = "1111000011110000";
    EXPECT_EQ(row.shownText(), "1111 0000 1111 0000");
    row.value.text = "123456789";
    for (int base : {8, 10, 16}) {
        row.base = base;
        EXPECT_EQ(row.shownText(), "123456789") << base;
    }
}

TEST_F(RegisterTest, IntegersCarryTheirBaseLetterDecimalLineAndSecondCopyItem) {
    RegisterRow row{integerRegister("X", "11111111", "255", 255), 2, {}, {}};
    EXPECT_EQ(row.baseLetter(), "b");
    EXPECT_EQ(row.decimalLine(), "255");
    EXPECT_EQ(row.helpText(), "X = 255 (decimal)");
    EXPECT_EQ(row.accessibleText(), "X 11111111 b 255");
    const auto items = row.copyItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].label, "Copy decimal 255");
    row.base = 8;
    EXPECT_EQ(row.baseLetter(), "o");
    row.base = 16;
    EXPECT_EQ(row.baseLetter(), "h");
    row.base = 10;
    EXPECT_EQ(row.baseLetter(), "d");
    EXPECT_EQ(row.decimalLine(), "");

    RegisterRow plain{decimalRegister("R0", "2.5", 5), 10, {}, {}};
    EXPECT_EQ(plain.baseLetter(), "");
    EXPECT_EQ(plain.decimalLine(), "");
    EXPECT_EQ(plain.copyItems().size(), 1u);
}

TEST_F(RegisterTest, TheMenuCopiesTheValuesOwnTextOrDecimal) {
    RegisterListView view;
    view.setRows({RegisterRow{integerRegister("X", "111100001", "481", 481), 2, {}, {}}});
    QGuiApplication::clipboard()->setText("stale");
    view.copy(0, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "111100001"); // no grouping spaces
    view.copy(0, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "481");
    EXPECT_EQ(view.model()->index(0, 0).data(Qt::ToolTipRole).toString(), "X = 481 (decimal)");
}

// Inspections go on arriving while the menu is open; "Copy" copies the row the
// menu was opened on, as it was then.
TEST_F(RegisterTest, TheMenuCopiesTheRowItWasOpenedOn) {
    RegisterListView view;
    view.setRows({RegisterRow{decimalRegister("R0", "1.000000000", 1), 10, {}, {}},
                  RegisterRow{decimalRegister("R1", "2.000000000", 2), 10, {}, {}}});
    view.resize(320, view.sizeHint().height());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QGuiApplication::clipboard()->setText("stale");
    QString chosen;
    QTimer::singleShot(0, &view, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        // "Non-zero only" drops R0 while the menu is open; then R1 changes too.
        view.setRows({RegisterRow{decimalRegister("R1", "2.000000000", 2), 10, {}, {}}});
        view.setRows({RegisterRow{decimalRegister("R1", "3.000000000", 3), 10, {}, {}}});
        chosen = menu->actions().value(0)->text();
        menu->actions().value(0)->trigger();
        menu->close();
    });
    const QPoint at = view.visualRect(view.model()->index(0, 0)).center();
    QContextMenuEvent open(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view.viewport(), &open);
    EXPECT_EQ(chosen, "Copy 1.000000000");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1.000000000");
}

class FlashTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        model.setClock([this] { return now; });
    }
    std::vector<RegisterRow> rows(std::uint64_t xRaw, std::uint64_t yRaw) {
        return {RegisterRow{decimalRegister("X", "x", xRaw), 10, {}, {}},
                RegisterRow{decimalRegister("Y", "y", yRaw), 10, {}, {}}};
    }
    qint64 now = 1000;
    RegisterListModel model;
};

TEST_F(FlashTest, OnlyAChangedRegisterFlashesAndTheFirstAppearanceDoesNot) {
    model.setRows(rows(1, 2));
    EXPECT_FALSE(model.isFlashing(0));
    EXPECT_FALSE(model.isFlashing(1));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setRows(rows(1, 3));
    EXPECT_FALSE(model.isFlashing(0));
    EXPECT_TRUE(model.isFlashing(1));
    // Only the changed row was repainted.
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), 1);
    // The same values again: no new flash, nothing repainted.
    now += 2000;
    changed.clear();
    model.setRows(rows(1, 3));
    EXPECT_FALSE(model.isFlashing(1));
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FlashTest, TheFlashHoldsThenFadesOutAndRestartsOnAFurtherChange) {
    model.setRows(rows(1, 2));
    model.setRows(rows(5, 2));
    EXPECT_DOUBLE_EQ(model.flashOpacity(0), RegisterListModel::kFlashOpacity);
    now += 399;
    EXPECT_DOUBLE_EQ(model.flashOpacity(0), RegisterListModel::kFlashOpacity);
    now += 601; // halfway through the fade
    const double half = model.flashOpacity(0);
    EXPECT_GT(half, 0);
    EXPECT_LT(half, RegisterListModel::kFlashOpacity / 2); // eased out: mostly gone by half time
    model.setRows(rows(6, 2));
    EXPECT_DOUBLE_EQ(model.flashOpacity(0), RegisterListModel::kFlashOpacity);
    now += 1600;
    EXPECT_DOUBLE_EQ(model.flashOpacity(0), 0);
}

// A change is judged against the value shown last, not the first one: a register
// going back to an earlier value flashes again.
TEST_F(FlashTest, ARegisterChangingBackFlashesEachTime) {
    model.setRows(rows(1, 2));
    model.setRows(rows(5, 2)); // A -> B
    EXPECT_TRUE(model.isFlashing(0));
    now += 2000;
    ASSERT_FALSE(model.isFlashing(0));
    model.setRows(rows(1, 2)); // B -> A
    EXPECT_TRUE(model.isFlashing(0));
    now += 2000;
    model.setRows(rows(5, 2)); // A -> B again
    EXPECT_TRUE(model.isFlashing(0));
    // Back while the first flash is still on: it starts over.
    now += 500;
    model.setRows(rows(1, 2));
    EXPECT_DOUBLE_EQ(model.flashOpacity(0), RegisterListModel::kFlashOpacity);
    EXPECT_FALSE(model.isFlashing(1));
}

TEST_F(FlashTest, TheChangeKeyDecidesAndNamesKeepTheirStateAcrossReorders) {
    // Real and imaginary words changing by amounts that cancel: no flash.
    std::vector<RegisterRow> a{RegisterRow{decimalRegister("X", "1", 10), 10, decimalRegister("X", "2", 20), {}}};
    std::vector<RegisterRow> b{RegisterRow{decimalRegister("X", "3", 15), 10, decimalRegister("X", "4", 15), {}}};
    model.setRows(a);
    model.setRows(b);
    EXPECT_FALSE(model.isFlashing(0));
    // An integer whose raw changes while its word stays: no flash.
    auto i1 = integerRegister("I", "5", "5", 5);
    auto i2 = i1;
    i2.raw = 0xABCDEF;
    model.setRows({RegisterRow{i1, 16, {}, {}}});
    model.setRows({RegisterRow{i2, 16, {}, {}}});
    EXPECT_FALSE(model.isFlashing(0));
    // A reorder keeps each name's state: a changed value flashes under its name.
    model.setRows(rows(1, 2));
    std::vector<RegisterRow> swapped{RegisterRow{decimalRegister("Y", "y", 9), 10, {}, {}},
                                     RegisterRow{decimalRegister("X", "x", 1), 10, {}, {}}};
    model.setRows(swapped);
    EXPECT_TRUE(model.isFlashing(0));
    EXPECT_FALSE(model.isFlashing(1));
    // A name that left and returns does not flash.
    now += 5000;
    model.setRows({RegisterRow{decimalRegister("X", "x", 1), 10, {}, {}}});
    model.setRows(rows(1, 77));
    EXPECT_FALSE(model.isFlashing(1));
}

class PanelTest : public RegisterTest {
protected:
    MemoryPlatform platform;
};

TEST_F(PanelTest, SectionsFollowTheModelAndThePool) {
    RegistersPanel panel(&platform);
    panel.setSnapshot(test::hp12cSnapshot());
    EXPECT_EQ(panel.header(RegistersPanel::stackSection)->shownTitle(), "STACK AND FINANCIAL REGISTERS");
    EXPECT_EQ(panel.stackList()->registers()->rowCount(), 10);
    EXPECT_FALSE(panel.sections()->sectionShown(RegistersPanel::memorySection));
    EXPECT_FALSE(panel.sections()->sectionShown(RegistersPanel::matricesSection));
    EXPECT_EQ(panel.header(RegistersPanel::storageSection)->shownTitle(), "STORAGE REGISTERS (20)");

    panel.setSnapshot(test::hp15cSnapshot());
    EXPECT_EQ(panel.header(RegistersPanel::stackSection)->shownTitle(), "STACK");
    EXPECT_TRUE(panel.sections()->sectionShown(RegistersPanel::memorySection));
    EXPECT_TRUE(panel.sections()->sectionShown(RegistersPanel::matricesSection));
    EXPECT_EQ(panel.matrixRowCount(), 5);
    // A row is found again by its matrix's index: it stays unfolded.
    panel.matrixRow(1)->toggle();
    auto reordered = test::hp15cSnapshot();
    std::swap(reordered.matrices[0], reordered.matrices[1]);
    panel.setSnapshot(reordered);
    EXPECT_TRUE(panel.matrixRow(0)->isExpanded());
    EXPECT_EQ(panel.matrixRow(0)->matrix().index, 1);
    EXPECT_FALSE(panel.matrixRow(1)->isExpanded());
    auto noMatrices = test::hp15cSnapshot();
    noMatrices.matrices.clear();
    panel.setSnapshot(noMatrices);
    EXPECT_TRUE(panel.sections()->sectionShown(RegistersPanel::matricesSection));
    EXPECT_EQ(panel.matrixRowCount(), 0);
}

TEST_F(PanelTest, StackRowsOfThe15CInComplexModeAndDescriptorsOnlyOnTheStack) {
    auto s = test::hp15cSnapshot();
    s.flags |= 1u << 8;
    s.imaginary = {decimalRegister("X", "-2", 7), decimalRegister("Y", "1", 8)};
    // A matrix descriptor for B in Y.
    s.stack[1].raw = (std::uint64_t{1} << 52) | (std::uint64_t{11} << 48);
    s.registers[0] = s.stack[1];
    RegistersPanel panel(&platform);
    panel.setSnapshot(s);
    const auto& stack = panel.stackList()->registers()->rows();
    EXPECT_EQ(stack[0].shownText(), QString::fromUtf8("3.141592654 \u2212 2i"));
    EXPECT_EQ(stack[1].shownText(), QString::fromUtf8("matrix B (3×6)"));
    EXPECT_EQ(stack[2].shownText(), "0.000000000"); // no imaginary part listed for Z
    const auto& storage = panel.storageList()->registers()->rows();
    EXPECT_FALSE(storage[0].descriptor.has_value());
    EXPECT_FALSE(storage[0].imaginary.has_value());
}

TEST_F(PanelTest, NonZeroOnlyHidesZeroWordsKeepsTheCountAndIsRemembered) {
    auto s = test::hp15cSnapshot();
    {
        RegistersPanel panel(&platform);
        panel.setSnapshot(s);
        EXPECT_EQ(panel.storageList()->registers()->rowCount(), 20);
        panel.hideZerosToggle()->click();
        EXPECT_TRUE(panel.hideZeros());
        EXPECT_EQ(panel.storageList()->registers()->rowCount(), 7); // R0, R3, ... R.8
        EXPECT_EQ(panel.header(RegistersPanel::storageSection)->shownTitle(), "STORAGE REGISTERS (20)");
    }
    EXPECT_EQ(platform.setting(RegistersPanel::kHideZerosKey).toBool(), true);
    RegistersPanel again(&platform);
    EXPECT_TRUE(again.hideZerosToggle()->isChecked());
    for (auto& r : s.registers) r.raw = 0;
    again.setSnapshot(s);
    EXPECT_TRUE(again.allZeroShown());
    // The text depends only on the shown list being empty.
    again.setHideZeros(false);
    EXPECT_FALSE(again.allZeroShown());
    s.registers.clear();
    again.setSnapshot(s);
    EXPECT_TRUE(again.allZeroShown());
}

TEST_F(PanelTest, AnIntegerIsJudgedByItsWordAndAnyOtherValueByItsRaw) {
    auto zeroWord = integerRegister("R0", "0", "0", 0);
    zeroWord.raw = 0x55;
    auto decimal = decimalRegister("R1", "0", 0x1);
    const auto shown = RegistersPanel::shownRegisters({zeroWord, decimal}, true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].name, "R1");
}

TEST_F(PanelTest, ARowKeepsItsFlashFromSnapshotToSnapshot) {
    RegistersPanel panel(&platform);
    qint64 now = 0;
    panel.setClock([&] { return now; });
    auto s = test::hp15cSnapshot();
    panel.setSnapshot(s);
    s.stack[2] = decimalRegister("Z", "4.000000000", 0x4);
    s.registers[5] = decimalRegister("R5", "1.000000000", 0x1);
    panel.setSnapshot(s);
    EXPECT_TRUE(panel.stackList()->registers()->isFlashing(2));
    EXPECT_FALSE(panel.stackList()->registers()->isFlashing(0));
    EXPECT_TRUE(panel.storageList()->registers()->isFlashing(5));
    now = 300;
    panel.setSnapshot(s);
    EXPECT_TRUE(panel.stackList()->registers()->isFlashing(2));
}

} // namespace
} // namespace tw

namespace tw {
namespace {

TEST(RegisterSelection, ADoubleClickOpensTheValueForSelectingAndCopying) {
    test::inspectorApp();
    RegisterListView view;
    view.setRows({RegisterRow{test::decimalRegister("X", "1.5", 1), 10, test::decimalRegister("X", "-2", 2), {}}});
    view.resize(320, view.sizeHint().height());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QRect row = view.visualRect(view.model()->index(0, 0));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, row.center());
    QCoreApplication::processEvents();

    auto* field = view.findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isReadOnly());
    EXPECT_EQ(field->text(), QString::fromUtf8("1.5 \u2212 2i"));
    // A new inspection with the same value keeps the field; a changed one shows it.
    view.setRows({RegisterRow{test::decimalRegister("X", "1.5", 1), 10, test::decimalRegister("X", "-2", 2), {}}});
    EXPECT_EQ(view.findChild<QLineEdit*>(), field);
    view.setRows({RegisterRow{test::decimalRegister("X", "4", 4), 10, {}, {}}});
    ASSERT_NE(view.findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(view.findChild<QLineEdit*>()->text(), "4");
}

} // namespace
} // namespace tw
