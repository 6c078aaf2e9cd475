// Reading, saving and writing a real calculator through AppModel, against the
// simulated calculator behind the link's transport, with the engine on our test
// firmware.
#include "app/gated_transport.h"
#include "app/support/app_test_support.h"
#include "app/usb_log_folder.h"
#include "runtime/support/firmware_calculator.h"
#include "usblink/fake_clock.h"

#include "support/hang_watch.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;
using Image = std::vector<uint8_t>;

constexpr std::size_t flagByte = CalculatorLink::doubleMemoryByte;
constexpr uint8_t flagBit = CalculatorLink::doubleMemoryMask;

// A memory that our HP-15C firmware takes as its own.
Image hp15cMemory() {
    auto machine = startedCalculator(Firmware::Hp15c);
    keys(*machine, {k4, k2, kSto, k1});
    return machine->savedState(true).memory;
}

Image writable(const Image& image) {
    return Image(image.begin() + std::ptrdiff_t(CalculatorLink::writableBegin),
                 image.begin() + std::ptrdiff_t(CalculatorLink::writableEnd));
}

Image fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return Image(data.begin(), data.end());
}

// The link's clock with a gate: a pause of a second or more stops the job until the
// test lets it go on; shorter ones pass at once as on the fake clock.
class PauseGate final : public LinkClock {
public:
    explicit PauseGate(FakeClock& clock) : clock_(clock) {}
    double now() override { return clock_.now(); }
    void sleep(double seconds) override {
        if (seconds >= 1.0) {
            std::unique_lock lock(mutex_);
            pauses_.push_back(seconds);
            released_.wait(lock, [&] { return open_; });
        }
        clock_.sleep(seconds);
    }
    // The long pauses begun so far.
    std::vector<double> pauses() const {
        std::lock_guard lock(mutex_);
        return pauses_;
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        released_.notify_all();
    }

private:
    FakeClock& clock_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::vector<double> pauses_;
    bool open_ = false;
};

struct RealCalculator : ::testing::Test {
    FakeClock clock;
    PauseGate pause{clock}; // used by the tests that hand it in
    SimulatedCalculator calculator{clock};
    GatedTransport gate{calculator};
    MemoryPlatform platform;
    AppModel app{platform};

    void SetUp() override { app.useLinkTransport(gate.factory(), &clock); }
    void TearDown() override {
        gate.release();
        pause.release();
        // The calculator and its clock must outlive any job still under way.
        EXPECT_TRUE(waitFor([&] { return app.waitForLinkJob(); }));
    }

    QDir backups() const { return QDir(platform.documentsFolder() + "/Tarnwick Backups"); }
    QStringList backupFiles() const { return backups().entryList(QDir::Files, QDir::Name); }

    // Runs the write up to its confirmation.
    const PendingWrite& pendingWrite() {
        app.writeToCalculator();
        EXPECT_EQ(app.linkStatus(), "Reading the emulator's memory…");
        EXPECT_TRUE(waitFor([&] { return app.pendingWrite().has_value() || app.errorMessage(); }));
        EXPECT_FALSE(app.errorMessage()) << app.errorMessage()->toStdString();
        return *app.pendingWrite();
    }
};

TEST_F(RealCalculator, ReadingNeedsARunningCalculatorAndKeepsNoEarlierFileName) {
    TW_REQUIRE_TEST_FIRMWARE();
    app.readFromCalculator();
    EXPECT_FALSE(app.linkStatus()); // no engine: nothing happens
    EXPECT_EQ(calculator.opens, 0);

    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    app.setMemoryFileName(QStringLiteral("prog.15c")); // loaded from a file earlier
    app.readFromCalculator();
    EXPECT_EQ(app.linkStatus(), "Reading the calculator's memory…");
    ASSERT_TRUE(waitFor([&] { return !app.linkStatus(); }));
    EXPECT_FALSE(app.errorMessage());
    EXPECT_EQ(calculator.readRequests, 1);
    // Handed to the trial check as a memory from no file: once loaded it has no name.
    EXPECT_EQ(app.memoryFileNameCandidate(), QString());
    EXPECT_FALSE(app.pendingSidecar());
    // The trial check finds that it fits the running HP-15C and asks to load it.
    ASSERT_TRUE(waitFor([&] { return app.pendingAction().has_value() || app.errorMessage(); }));
    ASSERT_FALSE(app.errorMessage()) << app.errorMessage()->toStdString();
    const auto* load = std::get_if<PendingAction::LoadMemory>(&app.pendingAction()->value);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->data, calculator.memory);
    app.setPendingAction(std::nullopt);
    app.memoryLoaded();
    EXPECT_FALSE(app.memoryFileName());
    EXPECT_EQ(app.programDoc().title, "");
}

TEST_F(RealCalculator, ASecondJobIsRefusedWhileOneRuns) {
    gate.hold();
    app.saveCalculatorMemoryToFile(); // needs no engine
    ASSERT_TRUE(waitFor([&] { return gate.waiting(); }));
    app.saveCalculatorMemoryToFile();
    app.writeToCalculator();
    EXPECT_EQ(app.linkTicket(), 1);
    EXPECT_EQ(app.linkStatus(), "Reading the calculator's memory…");
    gate.release();
    ASSERT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
    EXPECT_FALSE(app.linkStatus());
    EXPECT_EQ(calculator.opens, 1);
    EXPECT_EQ(app.exportDocument()->data, calculator.memory);
    EXPECT_EQ(app.exportKind(), ExportKind::memory);
    EXPECT_EQ(app.exportType(), UTType::memory16c);
    ASSERT_TRUE(app.exportNameOverride());
    EXPECT_TRUE(QRegularExpression("^Calculator memory \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d$")
                    .match(*app.exportNameOverride())
                    .hasMatch())
        << app.exportNameOverride()->toStdString();
}

TEST_F(RealCalculator, SavingOnAnHP12CKeyboardOffersTheHP12CType) {
    app.setSkin(SkinChoice::hp12c);
    app.saveCalculatorMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
    EXPECT_EQ(app.exportType(), UTType::memory12c);
}

TEST_F(RealCalculator, NoCalculatorShowsTheLinksMessageAndClearsTheStatus) {
    calculator.openFailure = LinkError::noDevice();
    app.saveCalculatorMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return app.errorMessage().has_value(); }));
    EXPECT_EQ(app.errorMessage(), QString::fromStdString(LinkError::noDevice().errorDescription()));
    EXPECT_FALSE(app.linkStatus());
    EXPECT_FALSE(app.exportDocument());
}

// Reading the emulator's memory for a write lets go of every key in the engine: the
// face lets go of its latched keys with them.
TEST_F(RealCalculator, AWriteLetsGoOfTheLatchedKeys) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    app.apply(app.latch().toggle(k9));
    ASSERT_EQ(app.latchedKeys(), std::set<int>{k9});
    app.writeToCalculator();
    EXPECT_TRUE(app.latchedKeys().empty());
    EXPECT_TRUE(app.pressedKeys().empty());
    EXPECT_TRUE(app.latch().isEmpty());
    EXPECT_TRUE(waitFor([&] { return app.pendingWrite().has_value() || app.errorMessage(); }));
}

TEST_F(RealCalculator, AWriteBacksUpFirstAndThenWritesTheMergedMemory) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    app.setSkin(SkinChoice::hp16c); // the face shown decides nothing about the write
    Image before = hp15cMemory();
    before[flagByte] |= flagBit; // the calculator is in its 15.2 mode
    before[3] = 0xA5;            // session bytes that a write leaves alone
    sealMemory(before);
    calculator.memory = before;

    const PendingWrite& write = pendingWrite();
    EXPECT_FALSE(app.linkStatus());
    EXPECT_EQ(calculator.writeReports, 0); // nothing written before the confirmation
    EXPECT_EQ(write.emulatorModel, "HP-15C");
    EXPECT_EQ(write.calculatorModels, std::vector<int>{150});
    EXPECT_FALSE(write.needs152);
    EXPECT_EQ(write.title(), "Write to the HP-15C?");
    ASSERT_EQ(backupFiles().size(), 1);
    const QString backupName = backupFiles().front();
    EXPECT_TRUE(QRegularExpression("^HP-15C calculator \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d\\.15c$")
                    .match(backupName)
                    .hasMatch())
        << backupName.toStdString();
    EXPECT_EQ(write.backup, backups().filePath(backupName));
    EXPECT_EQ(fileBytes(write.backup), before);
    EXPECT_TRUE(write.message().contains(backupName));

    const Image emulator = write.memory;
    ASSERT_FALSE(emulator[flagByte] & flagBit);
    app.confirmWrite(write);
    EXPECT_FALSE(app.pendingWrite());
    EXPECT_EQ(app.linkStatus(), "Writing to the calculator…");
    ASSERT_TRUE(waitFor([&] { return app.notice() || app.errorMessage(); }));
    ASSERT_FALSE(app.errorMessage()) << app.errorMessage()->toStdString();
    EXPECT_TRUE(app.notice()->startsWith("Done: the HP-15C memory was written to the calculator"));
    EXPECT_EQ(writable(calculator.memory), writable(emulator));
    EXPECT_EQ(calculator.memory[3], 0xA5);
    EXPECT_FALSE(calculator.memory[flagByte] & flagBit); // an HP-15C write carries its own setting
    EXPECT_EQ(backupFiles().size(), 1);
    EXPECT_EQ(fileBytes(backups().filePath(backupName)), before); // the backup stays as it was
}

// The calculator gets five seconds after a write before the job ends and the
// notice tells the user to leave USB mode.
TEST_F(RealCalculator, TheNoticeWaitsForAFiveSecondPauseAfterTheWrite) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    app.useLinkTransport(gate.factory(), &pause);
    const PendingWrite write = pendingWrite();
    EXPECT_TRUE(pause.pauses().empty()); // reading and backing up do not pause

    app.confirmWrite(write);
    ASSERT_TRUE(waitFor([&] { return !pause.pauses().empty(); }));
    EXPECT_EQ(pause.pauses(), std::vector<double>{5.0});
    EXPECT_EQ(writable(calculator.memory), writable(write.memory)); // written before the pause
    pump(100ms);
    EXPECT_FALSE(app.notice());
    EXPECT_EQ(app.linkStatus(), "Writing to the calculator…");

    pause.release();
    ASSERT_TRUE(waitFor([&] { return app.notice() || app.errorMessage(); }));
    EXPECT_TRUE(app.notice());
    EXPECT_FALSE(app.linkStatus());
}

TEST_F(RealCalculator, TheRunningModelNotTheFaceDecidesTheDoubleMemoryFlag) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp16c));
    app.setSkin(SkinChoice::hp15c);
    Image before = hp15cMemory();
    before[flagByte] |= flagBit;
    sealMemory(before);
    calculator.memory = before;

    const PendingWrite& write = pendingWrite();
    EXPECT_EQ(write.emulatorModel, "HP-16C");
    app.confirmWrite(write);
    ASSERT_TRUE(waitFor([&] { return app.notice() || app.errorMessage(); }));
    ASSERT_TRUE(app.notice());
    EXPECT_TRUE(app.notice()->startsWith("Done: the HP-16C memory"));
    EXPECT_TRUE(calculator.memory[flagByte] & flagBit); // an HP-16C write leaves the setting alone
}

TEST_F(RealCalculator, ACalculatorChangedBeforeTheConfirmationIsBackedUpAgain) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    const PendingWrite write = pendingWrite();
    ASSERT_EQ(backupFiles().size(), 1);

    const Image other = patternImage(9); // another calculator was connected meanwhile
    calculator.memory = other;
    app.confirmWrite(write);
    ASSERT_TRUE(waitFor([&] { return app.notice() || app.errorMessage(); }));
    ASSERT_TRUE(app.notice());
    const QStringList files = backupFiles();
    ASSERT_EQ(files.size(), 2);
    const auto fresh = std::find_if(files.begin(), files.end(), [](const QString& f) { return f.endsWith(".bin"); });
    ASSERT_NE(fresh, files.end());
    EXPECT_TRUE(fresh->startsWith("Unknown calculator "));
    EXPECT_EQ(fileBytes(backups().filePath(*fresh)), other);
    EXPECT_EQ(writable(calculator.memory), writable(write.memory));
}

TEST_F(RealCalculator, AWriteOutlivingItsWatchdogIsReportedAsUnknownNotFailed) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    const PendingWrite write = pendingWrite();

    app.setLinkWatchdogSeconds(0.2);
    gate.hold();
    app.confirmWrite(write);
    ASSERT_TRUE(waitFor([&] { return app.errorMessage().has_value(); }));
    EXPECT_FALSE(app.linkStatus());
    const QString text = *app.errorMessage();
    EXPECT_TRUE(text.contains("unknown")) << text.toStdString();
    EXPECT_TRUE(text.contains("Read from Calculator")) << text.toStdString();
    EXPECT_FALSE(text.contains("failed"));
    EXPECT_TRUE(text.endsWith(" The calculator's previous memory is in “" + QFileInfo(write.backup).fileName() + "”."));
    {
        // Past the watchdog: a quit would not wait. Should it, the job is let go at the hang limit.
        HangWatch watch([&] { gate.release(); });
        EXPECT_FALSE(app.waitForLinkJob()) << "the quit's wait ignored the write's watchdog";
    }

    gate.release();
    ASSERT_TRUE(waitFor([&] { return app.waitForLinkJob(); }));
    pump(50ms);
    EXPECT_FALSE(app.notice()); // the late success is dropped
    EXPECT_EQ(writable(calculator.memory), writable(write.memory)); // yet the write went through
}

TEST_F(RealCalculator, AFailedWriteNamesTheBackup) {
    TW_REQUIRE_TEST_FIRMWARE();
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    calculator.memory = hp15cMemory();
    tapKeys(app, {k7, kSto, k2}); // the emulator's register 2 differs from the calculator's
    const PendingWrite write = pendingWrite();
    const auto differing = std::mismatch(write.memory.begin() + 112, write.memory.end() - 16,
                                         calculator.memory.begin() + 112);
    ASSERT_NE(differing.first, write.memory.end() - 16);
    calculator.stuckOffset = std::size_t(differing.first - write.memory.begin()); // never takes the new value
    app.confirmWrite(write);
    ASSERT_TRUE(waitFor([&] { return app.errorMessage().has_value(); }));
    EXPECT_TRUE(app.errorMessage()->startsWith("Read-back check failed"));
    EXPECT_TRUE(app.errorMessage()->endsWith("is in “" + QFileInfo(write.backup).fileName() + "”."));
}

TEST_F(RealCalculator, TheQuitWaitsForARunningJobUntilItsWatchdog) {
    gate.hold();
    app.saveCalculatorMemoryToFile();
    ASSERT_TRUE(waitFor([&] { return gate.waiting(); }));
    std::thread later([&] {
        std::this_thread::sleep_for(100ms);
        gate.release();
    });
    EXPECT_TRUE(app.waitForLinkJob()); // the job ends well before its 25 s
    later.join();

    // A job held past its watchdog: the wait ends at the watchdog. Should it overlook
    // the watchdog, the job is let go after the hang limit, and the wait ends with it.
    app.setLinkWatchdogSeconds(0.2);
    gate.hold();
    ASSERT_TRUE(waitFor([&] { return !app.linkStatus(); }));
    app.saveCalculatorMemoryToFile();
    HangWatch watch([&] { gate.release(); });
    EXPECT_FALSE(app.waitForLinkJob()) << "the wait ended with the job, not at its watchdog";
}

} // namespace
