// The inspector on AppModel running our test firmware: real inspections, and
// the listing following the current step while a program is keyed in.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include <functional>

#include "app/app_model.h"
#include "inspector/inspector_fixtures.h"
#include "inspector/inspector_header.h"
#include "inspector/inspector_view.h"
#include "inspector/program_list.h"
#include "inspector/pinned_sections.h"
#include "inspector/program_panel.h"
#include "inspector/section_header.h"
#include "inspector/register_list.h"
#include "inspector/registers_panel.h"
#include "platform/memory_platform.h"
#include "support/hang_limit.h"
#include "support/test_firmware.h"

namespace tw {
namespace {

// Key codes of the test firmware's keyboard.
constexpr int kRunStop = 20;
constexpr int kPlus = 39;
constexpr int kEnter = 25;
constexpr int k1 = 26;
constexpr int k2 = 27;
constexpr int k3 = 28;


class InspectorOnFirmware : public test::WithApp {
protected:
    void SetUp() override { startOn(test::Firmware::Hp15c); }
    void startOn(test::Firmware image) {
        if (!test::firmwareBuilt()) GTEST_SKIP() << "test firmware not built";
        test::useTestFingerprints();
        app.setShowInspector(true);
        app.start(QStringLiteral("test.bin"), test::firmwareBytes(image), std::nullopt);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.isStarting(); }, test::kHangLimitMs));
        ASSERT_TRUE(app.isRunning());
        ASSERT_TRUE(QTest::qWaitFor([&] { return app.inspection().has_value(); }, test::kHangLimitMs));
        // Switched on and showing its zero.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QString::fromStdString(app.snapshot().lcd.text).trimmed() == "0."; },
                                    test::kHangLimitMs));
    }
    void TearDown() override { app.stop(); }

    void tap(int code, KeyPart part = KeyPart::face) {
        app.press(code, part);
        app.release(code);
        QTest::qWait(150);
    }
    // Waits for the inspection to satisfy a condition.
    bool inspectionWhere(const std::function<bool(const InspectorSnapshot&)>& holds) {
        return QTest::qWaitFor([&] { return app.inspection() && holds(*app.inspection()); }, test::kHangLimitMs);
    }

    MemoryPlatform platform;
    AppModel app{platform};
};

TEST_F(InspectorOnFirmware, TheInspectorShowsTheStackTheFirmwareComputes) {
    InspectorView view(app);
    view.resize(340, 700);
    view.show();
    EXPECT_FALSE(view.placeholderShown());
    EXPECT_EQ(view.header()->titleText(), "HP-15C");
    tap(k1);
    tap(k2);
    tap(kEnter);
    tap(k3);
    tap(kPlus);
    ASSERT_TRUE(inspectionWhere([](const InspectorSnapshot& s) { return !s.stack.empty() && s.stack[0].raw != 0; }));
    const auto& rows = view.registers()->stackList()->registers()->rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].value.name, "X");
    EXPECT_TRUE(rows[0].shownText().startsWith("15")) << rows[0].shownText().toStdString();
    // The last change lit X's row.
    EXPECT_TRUE(view.registers()->stackList()->registers()->isFlashing(0));
}

// The other images: set up by each test itself.
class OtherImages : public InspectorOnFirmware {
protected:
    void SetUp() override {}
};

TEST_F(OtherImages, EachModelIsNamedWithItsOwnSectionsAndStepNumbers) {
    struct Case {
        test::Firmware image;
        QString title;
        QString stackTitle;
        bool pool;
    };
    for (const Case& c : {Case{test::Firmware::Hp16c, "HP-16C", "STACK", false},
                          Case{test::Firmware::Multi, "HP-12C", "STACK AND FINANCIAL REGISTERS", false}}) {
        startOn(c.image);
        if (HasFatalFailure() || IsSkipped()) return;
        InspectorView view(app);
        view.show();
        EXPECT_EQ(view.header()->titleText(), c.title);
        EXPECT_EQ(view.registers()->header(RegistersPanel::stackSection)->shownTitle(), c.stackTitle);
        EXPECT_EQ(view.registers()->sections()->sectionShown(RegistersPanel::memorySection), c.pool);
        if (app.inspection()->hasProgram) {
            const QString top = view.program()->list()->listing()->index(0, 0).data(ProgramListModel::LabelRole).toString();
            EXPECT_EQ(top, app.inspection()->model == 12 ? "00" : "000");
        }
        app.stop();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app.inspection().has_value(); }, test::kHangLimitMs));
        EXPECT_TRUE(view.placeholderShown());
    }
}

TEST_F(InspectorOnFirmware, TheListingFollowsTheCurrentStepAsAProgramIsKeyedIn) {
    InspectorView view(app);
    view.setPane(InspectorPane::program);
    view.resize(340, 150); // room for a few rows only
    view.show();
    tap(kRunStop, KeyPart::gLabel); // g R/S: program mode
    ASSERT_TRUE(inspectionWhere([](const InspectorSnapshot& s) { return s.programMode; }));
    const auto* listing = view.program()->list()->listing();
    int step = 0;
    for (int code : {k1, kEnter, k2, kPlus, k3, kPlus}) {
        tap(code);
        ++step;
        ASSERT_TRUE(inspectionWhere([&](const InspectorSnapshot& s) { return s.line == step; })) << step;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const int row = listing->rowOfStep(step);
            if (row < 0 || !listing->index(row, 0).data(ProgramListModel::CurrentRole).toBool()) return false;
            const QRect r = view.program()->list()->visualRect(listing->index(row, 0));
            return view.program()->list()->viewport()->rect().contains(r);
        }, test::kHangLimitMs)) << "step " << step << " not in view";
        EXPECT_EQ(view.header()->shownLineText(), QString::asprintf("line %03d / %03d", step, app.inspection()->lines));
    }
    EXPECT_GE(view.program()->list()->verticalScrollBar()->value(), 1);
}

} // namespace
} // namespace tw
