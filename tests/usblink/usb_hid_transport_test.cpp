#include "fake_hid_api.h"
#include "log_capture.h"
#include "support/strerror_text.h"
#include "thrown_link_error.h"
#include "usblink/calculator_link.h"
#include "usblink/usb_hid_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace tw {

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

HidDeviceInfo calculatorDevice(std::string path) {
    HidDeviceInfo info;
    info.path = std::move(path);
    info.product = "HP 15C CE";
    info.manufacturer = "HP";
    info.usagePage = 65280;
    info.usage = 1;
    info.transport = "USB";
    return info;
}

// A polled report as hidapi hands it over: the report ID, then the report.
FakeHidApi::Poll polled(Bytes report) {
    report.insert(report.begin(), 0);
    return {std::move(report), 0};
}

struct TransportTest : ::testing::Test {
    LogCapture log;
    FakeClock clock;
    FakeHidApi* api = nullptr;
    std::unique_ptr<USBHIDTransport> transport;

    TransportTest() {
        auto fake = std::make_unique<FakeHidApi>(clock);
        api = fake.get();
        transport = std::make_unique<USBHIDTransport>(std::move(fake), clock);
    }
    void openWithDevice() {
        api->devices = {calculatorDevice("/dev/hidraw3")};
        transport->open();
        log.clear();
    }
};

TEST_F(TransportTest, OpensTheFirstMatchingDeviceAndClosesItAgain) {
    api->devices = {calculatorDevice("/dev/hidraw3"), calculatorDevice("/dev/hidraw4")};
    api->devices[0].manufacturer.reset();
    api->devices[0].usage.reset();
    transport->open();
    ASSERT_EQ(api->enumerated.size(), 1u);
    EXPECT_EQ(api->enumerated[0], std::make_pair(uint16_t(0x03F0), uint16_t(0x1341)));
    EXPECT_EQ(api->openedPath, "/dev/hidraw3");
    transport->close();
    transport->close();
    EXPECT_EQ(api->closes, 1);
    EXPECT_EQ(api->exits, 1);
    EXPECT_EQ(log.messages(),
              (Lines{"---- open (thread main, sandboxed: false)", "hid_init -> success",
                     "hid_enumerate -> 2 device(s)",
                     "device: HP 15C CE / -, usage page 65280 usage -, transport USB",
                     "hid_open_path -> success", "hid_close -> success"}));
}

TEST_F(TransportTest, OpenFailuresMapToNoDeviceOrAccessDenied) {
    EXPECT_EQ(thrownLinkError([&] { transport->open(); }), LinkError::noDevice());
    EXPECT_EQ(log.messages(), (Lines{"---- open (thread main, sandboxed: false)", "hid_init -> success",
                                     "hid_enumerate -> 0 device(s)"}));
    EXPECT_EQ(api->exits, 1) << "a failed open leaves nothing open";
    EXPECT_EQ(thrownLinkError([&] { transport->receive(0.1); }), LinkError::noDevice());
    EXPECT_EQ(thrownLinkError([&] { transport->send(CalculatorLink::readRequest()); }), LinkError::noDevice());

    api->initErrno = EACCES;
    EXPECT_EQ(thrownLinkError([&] { transport->open(); }), LinkError::accessDenied(EACCES));
    api->initErrno = 0; // a failure without a reason
    EXPECT_EQ(thrownLinkError([&] { transport->open(); }), LinkError::accessDenied(EIO));
    EXPECT_EQ(log.messages().back(), "hid_enumerate -> 0 device(s)");

    api->initErrno = -1;
    api->devices = {calculatorDevice("/dev/hidraw3")};
    api->openErrno = EACCES;
    EXPECT_EQ(thrownLinkError([&] { transport->open(); }), LinkError::accessDenied(EACCES));
    EXPECT_EQ(log.messages().back(), "hid_open_path -> errno 13 (" + test::strerrorText(EACCES) + ")");
    api->openErrno = EBUSY;
    EXPECT_EQ(thrownLinkError([&] { transport->open(); }), LinkError::accessDenied(EBUSY));
    EXPECT_EQ(log.messages().back(), "hid_open_path -> errno 16 (" + test::strerrorText(EBUSY) + ")");
    EXPECT_EQ(api->closes, 0) << "a device that did not open is not closed";
    EXPECT_EQ(api->inits, api->exits);
}

TEST_F(TransportTest, SendPutsReportIDZeroInFrontAndMapsFailures) {
    openWithDevice();
    transport->send(CalculatorLink::readRequest());
    ASSERT_EQ(api->written.size(), 1u);
    EXPECT_EQ(api->written[0].size(), 65u);
    EXPECT_EQ(api->written[0][0], 0);
    EXPECT_EQ(api->written[0][1], 0xFE);
    EXPECT_EQ(log.messages(), (Lines{"hid_write(Output, id 0, 64) -> success: FE +63\u00D700"}));

    api->writeErrno = ENODEV;
    EXPECT_EQ(thrownLinkError([&] { transport->send(CalculatorLink::readRequest()); }),
              LinkError::io("sending a report failed (" + test::strerrorText(ENODEV) +
                            "); the calculator may have left USB mode"));
    EXPECT_EQ(log.messages().back(),
              "hid_write(Output, id 0, 64) -> errno 19 (" + test::strerrorText(ENODEV) + "): FE +63\u00D700");
    api->writeErrno = -1;
    api->writeCount = 10;
    EXPECT_EQ(thrownLinkError([&] { transport->send(CalculatorLink::readRequest()); }),
              LinkError::io("sending a report failed (only 10 of 65 bytes written); the calculator may have left USB mode"));
    EXPECT_EQ(log.messages().back(),
              "hid_write(Output, id 0, 64) -> short write (only 10 of 65 bytes written): FE +63\u00D700");
}

TEST_F(TransportTest, PolledReportsLoseTheReportIDAndKeepTheirLength) {
    openWithDevice();
    Bytes report(20, 0xAB);
    report[0] = 19;
    api->polls = {{Bytes(65, 0), 0}, {Bytes(65, 0), 0}, polled(report), polled(Bytes(64, 0x3F))};
    EXPECT_EQ(transport->receive(1.0), report);
    EXPECT_EQ(transport->receive(1.0), Bytes(64, 0x3F));
    std::string full = "3F";
    for (int i = 1; i < 64; ++i) full += " 3F";
    EXPECT_EQ(log.messages(), (Lines{"hid_get_input_report(Input) -> success, empty report (length byte 0)",
                                     "hid_get_input_report(Input, id 0) works; using it (as OrvaneInterface)",
                                     "hid_get_input_report(Input) len 20: 13 AB AB AB AB AB AB AB AB AB AB AB AB AB "
                                     "AB AB AB AB AB AB",
                                     "hid_get_input_report(Input) len 64: " + full}));
}

TEST_F(TransportTest, InterruptReportsComeFirstUntilPollingWorks) {
    openWithDevice();
    api->idlePollErrno = EPIPE;
    api->interrupts = {Bytes{3, 1, 2, 3}, Bytes{0, 9}};
    EXPECT_EQ(transport->receive(1.0), (Bytes{3, 1, 2, 3}));
    EXPECT_EQ(transport->receive(1.0), (Bytes{0, 9})) << "an interrupt report is handed on whatever its first byte";

    api->interrupts = {Bytes{1, 7}};
    api->polls = {polled({2, 5, 6})};
    EXPECT_EQ(transport->receive(1.0), (Bytes{2, 5, 6})) << "polled before the queue is looked at again";
    api->interrupts = {Bytes{1, 8}};
    const double start = clock.t;
    EXPECT_EQ(transport->receive(0.05), std::nullopt) << "once polling works, interrupt reports are dropped";
    EXPECT_NEAR(clock.t - start, 0.05, 0.011);
}

TEST_F(TransportTest, ReceiveWaitsInTenMillisecondSteps) {
    openWithDevice();
    api->idlePollErrno = EPIPE;
    const double start = clock.t;
    EXPECT_EQ(transport->receive(0), std::nullopt);
    EXPECT_EQ(api->pollCount, 1);
    EXPECT_NEAR(clock.t - start, 0.01, 1e-9);

    api->readErrno = ENODEV; // the hidraw node is gone: reads fail at once
    const int reads = api->readCount;
    EXPECT_EQ(transport->receive(0.1), std::nullopt);
    EXPECT_LE(api->readCount - reads, 11) << "a failing read still waits its step";
}

TEST_F(TransportTest, PollFailuresAreLoggedWhenTheyChangeAndSummedAtClose) {
    openWithDevice();
    api->polls = {{{}, EPIPE}, {{}, EPIPE}, {{}, EPIPE}, {{}, EIO}};
    api->idlePollErrno = ENOENT;
    api->polls.push_back(polled({1, 1}));
    EXPECT_EQ(transport->receive(1.0), (Bytes{1, 1}));
    transport->close();
    const Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 6u);
    const std::string pipe = test::strerrorText(EPIPE), io = test::strerrorText(EIO);
    EXPECT_EQ(lines[0], "hid_get_input_report(Input, id 0) -> errno 32 (" + pipe + ") len 64");
    EXPECT_EQ(lines[1], "hid_get_input_report(Input, id 0) -> errno 5 (" + io + ") len 64");
    EXPECT_EQ(lines[5], "hid_get_input_report failed 4 times, last errno 5 (" + io + ")");
}

TEST_F(TransportTest, CloseWithoutOpenDoesNothingAndTheLogSwitchDoesNotKeepADeviceOpen) {
    transport->close();
    EXPECT_EQ(api->exits, 0);
    EXPECT_FALSE(std::filesystem::exists(log.file()));
    openWithDevice();
    setUSBLogEnabled(false);
    transport->close();
    EXPECT_FALSE(api->deviceOpen);
    EXPECT_FALSE(std::filesystem::exists(log.file()));
}

// The whole read through the transport, with a device that answers by get-report.
TEST_F(TransportTest, LinkReadsThroughTheTransport) {
    api->devices = {calculatorDevice("/dev/hidraw0")};
    Bytes memory(CalculatorLink::memorySize);
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = uint8_t(i % 251 + 1);
    api->onWrite = [&](std::span<const uint8_t> report) {
        if (report[0] != CalculatorLink::readCommand) return;
        for (std::size_t at = 0; at < memory.size(); at += 63) {
            const std::size_t n = std::min<std::size_t>(63, memory.size() - at);
            Bytes r(64, 0);
            r[0] = uint8_t(n);
            std::copy_n(memory.begin() + at, n, r.begin() + 1);
            api->polls.push_back(polled(r));
        }
    };
    auto shared = std::shared_ptr<USBHIDTransport>(transport.release());
    CalculatorLink link(shared, clock);
    EXPECT_EQ(link.session([&] { return link.readMemory(); }), memory);
    EXPECT_FALSE(api->deviceOpen);
    EXPECT_EQ(api->exits, 1);
}

TEST(RealTransport, WithNoCalculatorAttachedOpenFindsNone) {
    LogCapture log;
    USBHIDTransport transport;
    try {
        transport.open();
        FAIL() << "a calculator is attached";
    } catch (const LinkError& error) {
        EXPECT_EQ(error, LinkError::noDevice());
        EXPECT_EQ(std::string(error.what()),
                  "No calculator found. Connect the calculator by USB, turn it off, hold f and ENTER and press ON.");
    }
    const Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "hid_init -> success");
    EXPECT_EQ(lines[2], "hid_enumerate -> 0 device(s)");
}

} // namespace

} // namespace tw
