// USB jobs on the link's worker thread: one at a time, results only for the newest
// job, the watchdog, and the wait at quit.
#include "app/link_job_runner.h"

#include "app/gated_transport.h"
#include "app/support/app_test_support.h"
#include "app/usb_log_folder.h"
#include "platform/main_queue.h"
#include "usblink/fake_clock.h"
#include "usblink/usb_log.h"

#include "support/hang_watch.h"

#include <QElapsedTimer>

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tw {
namespace {

using Image = std::vector<uint8_t>;

std::string logText() {
    std::ifstream in(usbLogPath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Long enough for any job of these tests, however late its watchdog.
bool settled(LinkJobRunner& runner) {
    return runner.waitUntilIdle(std::chrono::steady_clock::now() + test::kHangLimit);
}

std::string errorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    }
}

struct LinkJobs : ::testing::Test {
    FakeClock clock;
    SimulatedCalculator calculator{clock};
    test::GatedTransport gate{calculator};
    MainQueue mainQueue;
    LinkJobRunner runner{mainQueue.executor(), gate.factory(), &clock};
    std::vector<std::optional<std::string>> statuses;
    std::vector<EngineOutcome<Image>> outcomes;

    void SetUp() override {
        runner.statusChanged = [this](const std::optional<std::string>& s) { statuses.push_back(s); };
    }
    void TearDown() override {
        gate.release();
        settled(runner);
    }

    void read(const std::string& title = "Reading the calculator's memory…", double timeout = 25.0) {
        runner.run<Image>(
            title, timeout, [](CalculatorLink& link) { return link.session([&] { return link.readMemory(); }); },
            [this](EngineOutcome<Image> outcome) { outcomes.push_back(std::move(outcome)); });
    }
};

TEST_F(LinkJobs, AJobShowsItsStatusUntilItsResultArrives) {
    read();
    EXPECT_EQ(runner.status(), "Reading the calculator's memory…");
    EXPECT_EQ(runner.ticket(), 1);
    ASSERT_TRUE(test::waitFor([&] { return !outcomes.empty(); }));
    ASSERT_TRUE(outcomes[0].value);
    EXPECT_EQ(*outcomes[0].value, calculator.memory);
    EXPECT_FALSE(runner.status());
    EXPECT_EQ(statuses, (std::vector<std::optional<std::string>>{"Reading the calculator's memory…", std::nullopt}));
    EXPECT_EQ(calculator.opens, 1);
    EXPECT_EQ(calculator.closes, 1);
}

TEST_F(LinkJobs, AFailureReachesTheCompletionWithTheLinksMessage) {
    calculator.openFailure = LinkError::noDevice();
    read();
    ASSERT_TRUE(test::waitFor([&] { return !outcomes.empty(); }));
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(errorText(outcomes[0].error), LinkError::noDevice().errorDescription());
    EXPECT_FALSE(runner.status());
    const std::string log = logText();
    EXPECT_NE(log.find("==== Reading the calculator's memory…"), std::string::npos);
    EXPECT_NE(log.find("==== failed: " + LinkError::noDevice().errorDescription()), std::string::npos);
}

TEST_F(LinkJobs, TheWatchdogAnswersFirstAndTheLateResultIsDropped) {
    gate.hold();
    read("Slow job", 0.05);
    ASSERT_TRUE(test::waitFor([&] { return !outcomes.empty(); }));
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(errorText(outcomes[0].error), LinkError::timeout(0).errorDescription());
    EXPECT_FALSE(runner.status());
    EXPECT_EQ(runner.ticket(), 2); // raised by the watchdog
    EXPECT_NE(logText().find("==== watchdog: no answer from the USB queue after 0 s"), std::string::npos);

    {
        // Past its watchdog: no wait at quit. Should the wait overlook it, the held job
        // is let go at the hang limit.
        test::HangWatch watch([&] { gate.release(); });
        EXPECT_FALSE(runner.waitUntilIdle()) << "the quit's wait ignored the job's watchdog";
    }
    gate.release();
    ASSERT_TRUE(settled(runner));
    test::pump(std::chrono::milliseconds(50));
    EXPECT_EQ(outcomes.size(), 1u); // the read's own result never arrives
    EXPECT_EQ(calculator.readRequests, 1);
    EXPECT_EQ(statuses, (std::vector<std::optional<std::string>>{"Slow job", std::nullopt}));
}

TEST_F(LinkJobs, JobsRunOneAtATimeAndOnlyTheNewestIsAnswered) {
    gate.hold();
    read("first");
    read("second");
    EXPECT_EQ(runner.status(), "second");
    ASSERT_TRUE(test::waitFor([&] { return gate.waiting(); }));
    gate.release();
    ASSERT_TRUE(test::waitFor([&] { return !outcomes.empty(); }));
    ASSERT_TRUE(settled(runner));
    test::pump(std::chrono::milliseconds(50));
    EXPECT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(calculator.readRequests, 2); // both ran, in turn
    EXPECT_EQ(gate.maxConcurrent.load(), 1);
}

// The quit's wait ends at the job's watchdog while the job is held, and with the job
// when it ends first. Should the wait overlook the watchdog, the held job is let go
// after the hang limit, so that the wait ends with it and fails; should it overlook
// the job's end, it lasts until a watchdog set at the hang limit.
TEST_F(LinkJobs, TheQuitWaitEndsWithTheJobOrAtItsWatchdog) {
    gate.hold();
    read("held", 0.3);
    QElapsedTimer elapsed;
    elapsed.start();
    {
        test::HangWatch watch([&] { gate.release(); });
        EXPECT_FALSE(runner.waitUntilIdle()) << "the wait ended with the job, not at its watchdog";
    }
    EXPECT_GE(elapsed.elapsed(), 250); // the watchdog came no sooner

    gate.hold();
    read("finishes", test::kHangLimitSeconds);
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate.release();
    });
    elapsed.restart();
    EXPECT_TRUE(runner.waitUntilIdle()); // the job ended long before its watchdog
    EXPECT_LT(elapsed.elapsed(), test::kHangLimitMs / 2) << "the wait went on after the job ended";
    opener.join();
}

} // namespace
} // namespace tw
