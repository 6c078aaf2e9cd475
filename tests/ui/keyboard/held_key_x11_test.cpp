// Keys typed on a real X server into the window running our test firmware: the
// server's auto-repeat turns a held key into release and press pairs, which the
// synthetic events of the other keyboard tests cannot reproduce.
#include "support/xdotool.h"
#include "ui/window_fixture.h"

#include <QGuiApplication>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace tw::test {
namespace {

// Keeps every core busy until it goes away, and never longer than `limit`.
class BusyCores {
public:
    explicit BusyCores(std::chrono::seconds limit) {
        const auto until = std::chrono::steady_clock::now() + limit;
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < cores; ++i)
            threads_.emplace_back([this, until] {
                while (!stop_.load(std::memory_order_relaxed) && std::chrono::steady_clock::now() < until) {
                }
            });
    }
    ~BusyCores() {
        stop_ = true;
        for (std::thread& thread : threads_) thread.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

constexpr int kClearX = 24; // CLx of the test firmware

class TypedOnX : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server (the test script runs this under xvfb-run)";
        TW_REQUIRE_TEST_FIRMWARE();
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            << "xdotool is missing (scripts/setup.sh installs it)";
        ASSERT_NE(f.showRunning(Firmware::Hp15c), nullptr);
        f.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return shown() == QLatin1String("0."); }, kHangLimitMs))
            << shown().toStdString();
    }

    QString shown() const { return QString::fromStdString(f.app->snapshot().lcd.text).trimmed(); }

    // The display once the calculator has taken every key it was given.
    QString settled() {
        QTest::qWait(600);
        return shown();
    }

    void clear() {
        f.app->press(kClearX);
        f.app->release(kClearX);
        ASSERT_TRUE(QTest::qWaitFor([this] { return shown() == QLatin1String("0."); }, kHangLimitMs))
            << shown().toStdString();
    }

    // Holds the key down on the server for `ms` while the window handles its events.
    void hold(const QString& key, int ms) {
        ASSERT_TRUE(xdotool({QStringLiteral("keydown"), key}));
        QTest::qWait(ms);
        ASSERT_TRUE(xdotool({QStringLiteral("keyup"), key}));
    }

    WindowFixture f;
};

TEST_F(TypedOnX, AKeyHeldDownIsOnePressOnABusyMachineAndAnIdleOne) {
    {
        BusyCores busy(std::chrono::seconds(10));
        hold(QStringLiteral("7"), 5000);
    }
    EXPECT_EQ(settled().count(QLatin1Char('7')), 1) << settled().toStdString();
    clear();
    hold(QStringLiteral("8"), 5000);
    EXPECT_EQ(settled().count(QLatin1Char('8')), 1) << settled().toStdString();
}

TEST_F(TypedOnX, QuickTapsAreEachAPress) {
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("250"), QStringLiteral("9"),
                         QStringLiteral("9"), QStringLiteral("9")}));
    EXPECT_EQ(settled().count(QLatin1Char('9')), 3) << settled().toStdString();
}

// Typed at a typist's pace, and with every core busy, the keys show as typed slowly.
TEST_F(TypedOnX, TypedDigitsShowInTheOrderTheyWereTyped) {
    for (const QString& text : {QStringLiteral("10005"), QStringLiteral("1002")}) {
        ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("400"), text}));
        const QString slowly = settled();
        EXPECT_TRUE(slowly.startsWith(text)) << slowly.toStdString();
        clear();
        ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("100"), text}));
        EXPECT_EQ(settled(), slowly);
        clear();
    }
    ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("300"),
                         QStringLiteral("1234567890")}));
    const QString slowly = settled();
    clear();
    for (int run = 0; run < 3; ++run) {
        {
            BusyCores busy(std::chrono::seconds(10));
            ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"),
                                 QStringLiteral("1234567890")}));
        }
        EXPECT_EQ(settled(), slowly) << "run " << run;
        clear();
    }
}

TEST_F(TypedOnX, QuickMinusesThenEscapeTurnOffAndKeepTheMemory) {
    // ON while "−" is still down would be the memory reset; let go of, it is not.
    const auto minusThenOn = [this](const QString& delay) {
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("400"),
                             QStringLiteral("7"), QStringLiteral("Return"), QStringLiteral("5")}));
        const QString minus = QStringLiteral("minus");
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), delay, minus, minus, minus, minus,
                             minus, QStringLiteral("Escape")}));
        ASSERT_TRUE(QTest::qWaitFor([this] { return shown().isEmpty(); }, kHangLimitMs)) << shown().toStdString();
        QTest::qWait(500);
        ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !shown().isEmpty(); }, kHangLimitMs));
    };
    minusThenOn(QStringLiteral("400"));
    const QString slowly = settled();
    EXPECT_FALSE(slowly.contains(QLatin1String("Error"))) << slowly.toStdString();
    clear();
    minusThenOn(QStringLiteral("100"));
    EXPECT_EQ(settled(), slowly);
}

} // namespace
} // namespace tw::test
