#include "simulated_calculator.h"
#include "support/run_tool.h"
#include "support/strerror_text.h"
#include "thrown_link_error.h"
#include "usblink/calculator_link.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace tw {

namespace {

using Bytes = std::vector<uint8_t>;
constexpr std::size_t kMemory = CalculatorLink::memorySize;

struct LinkTest : ::testing::Test {
    FakeClock clock;
    std::shared_ptr<SimulatedCalculator> calculator = std::make_shared<SimulatedCalculator>(clock);
    CalculatorLink link{calculator, clock};

    Bytes read() {
        return link.session([&] { return link.readMemory(); });
    }
    // Every open that worked was closed exactly once.
    void expectPaired() {
        EXPECT_FALSE(calculator->isOpen);
        EXPECT_EQ(calculator->closes, calculator->openFailure ? 0 : calculator->opens);
    }
    std::vector<int> blocksWritten() const {
        std::vector<int> blocks;
        for (const Bytes& report : calculator->sent)
            if (report[0] == 0x22) blocks.push_back(report[2]);
        return blocks;
    }
};

TEST(LinkProtocol, ReportsAndMergeFollowTheWireFormat) {
    const auto request = CalculatorLink::readRequest();
    EXPECT_EQ(request[0], 0xFE);
    for (std::size_t i = 1; i < request.size(); ++i) EXPECT_EQ(request[i], 0) << i;

    const Bytes image = patternImage(9);
    const auto packets = CalculatorLink::writePackets(image);
    ASSERT_EQ(packets.size(), 64u);
    for (std::size_t b = 0; b < 64; ++b) {
        EXPECT_EQ(packets[b][0], 0x22);
        EXPECT_EQ(packets[b][1], 0x43);
        EXPECT_EQ(packets[b][2], b);
        EXPECT_TRUE(std::equal(image.begin() + b * 32, image.begin() + b * 32 + 32, packets[b].begin() + 3));
        for (std::size_t i = 35; i < 64; ++i) ASSERT_EQ(packets[b][i], 0);
    }
}

TEST(LinkProtocol, MergeKeepsTheCalculatorsOwnBytesAndForcesTheFlag) {
    Bytes current(kMemory, 0xAA), image(kMemory, 0x55);
    current[76] = 0x00;
    image[196] = 0x54; // bit 0 clear in the image
    const Bytes kept = CalculatorLink::merge(image, current, std::nullopt);
    for (std::size_t i = 0; i < kMemory; ++i) {
        const bool writable = i >= 112 && i < 2032;
        ASSERT_EQ(kept[i], writable ? image[i] : current[i]) << i;
    }
    const Bytes on = CalculatorLink::merge(image, current, true);
    EXPECT_EQ(on[76], 0x08);
    EXPECT_EQ(on[196], 0x55);
    current[76] = 0xFF;
    image[196] = 0xFF;
    const Bytes off = CalculatorLink::merge(image, current, false);
    EXPECT_EQ(off[76], 0xF7);
    EXPECT_EQ(off[196], 0xFE);
    EXPECT_TRUE(CalculatorLink::isDoubleMemory(on));
    EXPECT_FALSE(CalculatorLink::isDoubleMemory(off));
    Bytes short76(76, 0xFF);
    EXPECT_FALSE(CalculatorLink::isDoubleMemory(short76));
    short76.push_back(0x08);
    EXPECT_TRUE(CalculatorLink::isDoubleMemory(short76));
}

TEST(LinkProtocol, CompareCountsPositionsBeyondTheShorterRange) {
    const Bytes a{1, 2, 3, 4}, b{1, 9, 3, 8, 7, 7};
    auto d = CalculatorLink::compare(a, b);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->count, 4u);
    EXPECT_EQ(d->first, 1u);
    EXPECT_FALSE(CalculatorLink::compare(a, a));
    d = CalculatorLink::compare(Bytes{}, Bytes{5});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->first, 0u);
}

TEST(LinkProtocol, FramingAcceptsFullReportsAndRefusesBrokenOnes) {
    Bytes image;
    CalculatorLink::append(Bytes{}, image);
    CalculatorLink::append(Bytes{0, 1, 2}, image);
    EXPECT_TRUE(image.empty());
    Bytes full(64, 0x11);
    full[0] = 63;
    for (int i = 0; i < 32; ++i) CalculatorLink::append(full, image);
    Bytes last(33, 0x22);
    last[0] = 32;
    CalculatorLink::append(last, image);
    EXPECT_EQ(image.size(), kMemory);
    EXPECT_EQ(image.back(), 0x22);

    const auto bad = [](Bytes report, std::size_t already) {
        Bytes gathered(already);
        try {
            CalculatorLink::append(report, gathered);
        } catch (const LinkError& error) {
            EXPECT_EQ(gathered.size(), already) << "nothing of a bad report is kept";
            return error;
        }
        return LinkError::noDevice();
    };
    EXPECT_EQ(bad(Bytes(64, 64), 0), LinkError::badReport(64));
    EXPECT_EQ(bad(Bytes(64, 0xFF), 0), LinkError::badReport(255));
    Bytes shortReport(10, 0);
    shortReport[0] = 10; // needs 11 bytes
    EXPECT_EQ(bad(shortReport, 0), LinkError::badReport(10));
    EXPECT_EQ(bad(full, kMemory - 62), LinkError::badReport(63));
}

TEST(LinkProtocol, MessagesReadAsTheUserSeesThem) {
    EXPECT_EQ(LinkError::timeout(0).errorDescription(),
              "The calculator stopped answering (0 of 2048 bytes received). Connect the calculator by USB, turn it "
              "off, hold f and ENTER and press ON.");
    EXPECT_EQ(LinkError::noDevice().errorDescription(),
              "No calculator found. Connect the calculator by USB, turn it off, hold f and ENTER and press ON.");
    EXPECT_EQ(LinkError::wrongSize(2047).errorDescription(), "A calculator memory image is 2048 bytes, not 2047.");
    EXPECT_EQ(LinkError::badReport(64).errorDescription(),
              "The calculator sent an unexpected USB report (length byte 64).");
    EXPECT_EQ(LinkError::mismatch(3, 0x7A).errorDescription(),
              "Read-back check failed: 3 of 2048 bytes differ (first at offset 0x07A).");
    EXPECT_EQ(LinkError::io("boom").errorDescription(), "USB error: boom");
    EXPECT_STREQ(LinkError::noDevice().what(), LinkError::noDevice().errorDescription().c_str());
    EXPECT_EQ(LinkError::noDevice(), LinkError::noDevice());
    EXPECT_FALSE(LinkError::timeout(1) == LinkError::timeout(2));
    EXPECT_FALSE(LinkError::mismatch(1, 76) == LinkError::mismatch(1, 77));
    EXPECT_FALSE(LinkError::badReport(0) == LinkError::timeout(0));
}

// The Linux reason, never a code of another platform's scheme; the udev rule is advised
// only when permission was refused, since it cannot help a busy or vanished device.
TEST(LinkProtocol, AccessDeniedGivesTheReasonAndUdevAdviceOnlyWhereItHelps) {
    const std::string rule = LinkError::udevRulePath;
    const std::string denied = "Linux did not allow access to the calculator's USB connection (";
    EXPECT_EQ(LinkError::accessDenied(EACCES).errorDescription(),
              denied + test::strerrorText(EACCES) + "). Install the udev rule " + rule +
                  " in /etc/udev/rules.d and reconnect the calculator.");
    EXPECT_NE(LinkError::accessDenied(EPERM).errorDescription().find(rule), std::string::npos);
    EXPECT_EQ(LinkError::accessDenied(EBUSY).errorDescription(), denied + test::strerrorText(EBUSY) + ").");
    EXPECT_EQ(LinkError::accessDenied(ENODEV).errorDescription(), denied + test::strerrorText(ENODEV) + ").");
    EXPECT_FALSE(LinkError::accessDenied(EACCES) == LinkError::accessDenied(EBUSY));
}

// `cmake --install` puts the rule at the place the message names, below the prefix.
TEST(LinkProtocol, InstallPutsTheUdevRuleWhereTheMessageSays) {
    const char* source = std::getenv("TW_SOURCE_DIR");
    const char* binary = std::getenv("TW_BINARY_DIR");
    ASSERT_TRUE(source && binary) << "run through ctest";
    const std::string suffix = "/lib/udev/rules.d/70-tarnwick-calculator.rules";
    const std::string rule = LinkError::udevRulePath;
    ASSERT_GT(rule.size(), suffix.size());
    EXPECT_EQ(rule.substr(rule.size() - suffix.size()), suffix);
    EXPECT_EQ(rule[0], '/');

    std::string pattern = (std::filesystem::temp_directory_path() / "tw-udev-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path prefix = pattern;
    const test::ToolResult install =
        test::runTool({"cmake", "--install", binary, "--component", "udev", "--prefix", prefix.string()});
    EXPECT_EQ(install.status, 0) << install.output;
    const auto slurp = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string installed = slurp(prefix.string() + suffix);
    EXPECT_NE(installed.find("TAG+=\"uaccess\""), std::string::npos);
    EXPECT_EQ(installed, slurp(std::string(source) + "/data/udev/70-tarnwick-calculator.rules"));
    std::filesystem::remove_all(prefix);
}

TEST_F(LinkTest, ReadSendsOneRequestAndGathersTheWholeImage) {
    const Bytes image = read();
    EXPECT_EQ(image, calculator->memory);
    ASSERT_EQ(calculator->sent.size(), 1u);
    const auto request = CalculatorLink::readRequest();
    EXPECT_EQ(calculator->sent[0], Bytes(request.begin(), request.end()));
    expectPaired();
}

TEST_F(LinkTest, ReadSkipsEmptyReports) {
    calculator->zeroLengthReports = true;
    EXPECT_EQ(read(), calculator->memory);
}

TEST_F(LinkTest, SilentCalculatorTimesOutAfterTheReadTimeout) {
    calculator->silent = true;
    const double start = clock.t;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::timeout(0));
    const double elapsed = clock.t - start;
    EXPECT_GE(elapsed, 3.1);
    EXPECT_LT(elapsed, 3.4);
    for (double t : calculator->receiveTimeouts) {
        EXPECT_GE(t, 0.01);
        EXPECT_LE(t, 0.25);
    }
    expectPaired();
}

TEST_F(LinkTest, ShortReplyReportsTheBytesReceived) {
    calculator->replyStopsAfter = 10;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::timeout(630));
    link.readTimeout = 0;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::timeout(0));
    expectPaired();
}

TEST_F(LinkTest, BrokenReportEndsTheRead) {
    calculator->oddReport = Bytes(64, 64);
    calculator->oddReportAt = 3;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::badReport(64));
    expectPaired();
}

TEST_F(LinkTest, ReportsBeyondAWholeImageAreRefused) {
    calculator->extraReport = true;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::badReport(5));
}

// Idle reports carry no data: they neither end a reply nor hide what follows them.
TEST_F(LinkTest, IdleReportsAfterAWholeImageDoNotHideMoreData) {
    const Bytes idle(64, 0);
    const Bytes more{7, 1, 2, 3, 4, 5, 6, 7};
    calculator->afterReply = {idle, more};
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::badReport(7));
    calculator->afterReply = {Bytes{}, idle, idle, idle, more};
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::badReport(7));
    calculator->afterReply = {idle, idle};
    EXPECT_EQ(read(), calculator->memory) << "a whole image followed only by idle reports is the memory";
    expectPaired();
}

// The tail of a reply that came too late must not become the start of the next image.
TEST_F(LinkTest, LeftoversOfAnEarlierExchangeAreNotTakenForTheMemory) {
    calculator->heldRead = 1;
    calculator->heldFrom = 20;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::timeout(20 * 63));
    clock.t += 1; // the late tail is queued by the time of the next request
    EXPECT_EQ(read(), calculator->memory) << "queued leftovers are dropped before the request";

    calculator->heldRead = 3;
    calculator->heldArriveAfterRequest = true;
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::timeout(20 * 63));
    EXPECT_EQ(thrownLinkError([&] { read(); }), LinkError::badReport(63)) << "leftovers behind the request";
    EXPECT_EQ(read(), calculator->memory);
    expectPaired();
}

TEST_F(LinkTest, WriteOfAWrongSizeTouchesNoUSB) {
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(Bytes(2047)); }), LinkError::wrongSize(2047));
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(Bytes(2049)); }), LinkError::wrongSize(2049));
    EXPECT_EQ(calculator->opens, 0);
}

TEST_F(LinkTest, WriteSendsOnlyChangedBlocksAndVerifies) {
    Bytes image = calculator->memory;
    const Bytes before = calculator->memory;
    image[0] ^= 0xFF;    // outside the writable part: never written
    image[2040] ^= 0xFF; // the same
    image[200] ^= 0xFF;  // block 6
    image[1000] ^= 0xFF; // block 31
    const Bytes readBack = link.writeMemory(image);
    EXPECT_EQ(blocksWritten(), (std::vector<int>{6, 31}));
    EXPECT_EQ(readBack, calculator->memory);
    EXPECT_EQ(calculator->memory[0], before[0]);
    EXPECT_EQ(calculator->memory[2040], before[2040]);
    EXPECT_EQ(calculator->memory[200], image[200]);
    EXPECT_EQ(calculator->readRequests, 2);
    // Read request, two blocks, read request: nothing else goes out.
    ASSERT_EQ(calculator->sent.size(), 4u);
    const auto block6 = CalculatorLink::writePackets(CalculatorLink::merge(image, before, {}))[6];
    EXPECT_EQ(calculator->sent[1], Bytes(block6.begin(), block6.end()));
    EXPECT_EQ(calculator->opens, 1);
    expectPaired();
}

TEST_F(LinkTest, WriteOfTheSameContentSendsNothing) {
    link.writeMemory(calculator->memory);
    EXPECT_TRUE(blocksWritten().empty());
    EXPECT_EQ(calculator->readRequests, 2);
    expectPaired();
}

TEST_F(LinkTest, DoubleMemoryFlagIsWrittenAndVerified) {
    calculator->memory[76] = 0x00;
    calculator->memory[196] = 0x00;
    Bytes image = calculator->memory;
    link.writeMemory(image, true);
    EXPECT_EQ(blocksWritten(), (std::vector<int>{2, 6}));
    EXPECT_EQ(calculator->memory[76], 0x08);
    EXPECT_EQ(calculator->memory[196], 0x01);

    calculator->sent.clear();
    calculator->stuckOffset = 76;
    calculator->memory[76] = 0x00;
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image, true); }), LinkError::mismatch(1, 76));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{2, 2, 2}));
    expectPaired();
}

TEST_F(LinkTest, WriteThatDoesNotStickFailsAfterEveryAttempt) {
    calculator->stuckOffset = 700;
    Bytes image = calculator->memory;
    image[700] ^= 0x5A;
    image[1500] ^= 0x5A;
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image); }), LinkError::mismatch(1, 700));
    EXPECT_EQ(blocksWritten(), (std::vector<int>{21, 46, 21, 21})) << "retries resend only what still differs";
    EXPECT_EQ(calculator->readRequests, 4);

    for (int attempts : {0, -2, 1}) {
        calculator->readRequests = 0;
        link.writeAttempts = attempts;
        EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image); }), LinkError::mismatch(1, 700));
        EXPECT_EQ(calculator->readRequests, 2) << attempts;
    }
    expectPaired();
}

TEST_F(LinkTest, FailingSendEndsTheWriteAtOnce) {
    Bytes image = calculator->memory;
    image[300] ^= 1;
    image[900] ^= 1;
    calculator->failingSend = 2; // the first write report
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image); }), LinkError::io("sending a report failed (Broken pipe)"));
    EXPECT_EQ(calculator->sent.size(), 2u);
    EXPECT_EQ(calculator->readRequests, 1);
    expectPaired();
}

TEST_F(LinkTest, ReadBackTimeOutIsRetriedButALostDeviceIsNot) {
    Bytes image = calculator->memory;
    image[300] ^= 1;
    calculator->unansweredReads = {2};
    link.writeMemory(image);
    EXPECT_EQ(calculator->readRequests, 3);
    EXPECT_EQ(blocksWritten(), (std::vector<int>{9, 9})) << "the unverified block is sent again";
    EXPECT_EQ(calculator->memory[300], image[300]);

    calculator->unansweredReads = {2, 3, 4};
    calculator->readRequests = 0;
    image[300] ^= 1;
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image); }), LinkError::timeout(0));

    calculator->unansweredReads.clear();
    calculator->readRequests = 0;
    calculator->lostAfterRead = 2;
    image[300] ^= 1;
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(image); }), LinkError::noDevice());
    EXPECT_EQ(calculator->readRequests, 2);
    expectPaired();
}

TEST_F(LinkTest, ReadBackMixedWithLeftoversIsRetried) {
    Bytes image = calculator->memory;
    image[500] ^= 1;
    calculator->heldRead = 2; // the first read-back comes partly too late
    calculator->heldFrom = 30;
    calculator->heldArriveAfterRequest = true;
    EXPECT_EQ(link.writeMemory(image), calculator->memory);
    EXPECT_EQ(calculator->readRequests, 4);
    expectPaired();
}

TEST_F(LinkTest, FailedOpenIsNotClosedAndNothingIsSent) {
    calculator->openFailure = LinkError::accessDenied(EACCES);
    EXPECT_EQ(thrownLinkError([&] { link.writeMemory(calculator->memory); }), *calculator->openFailure);
    EXPECT_EQ(thrownLinkError([&] { read(); }), *calculator->openFailure);
    EXPECT_TRUE(calculator->sent.empty());
    expectPaired();
}

TEST_F(LinkTest, SessionClosesAfterAnyError) {
    EXPECT_THROW(link.session([]() -> int { throw std::runtime_error("not a link error"); }), std::runtime_error);
    EXPECT_EQ(link.session([] { return 7; }), 7);
    link.session([] {});
    EXPECT_EQ(calculator->opens, 3);
    expectPaired();
    EXPECT_EQ(thrownLinkError([&] { link.readMemory(); }), LinkError::noDevice()) << "reading needs an open transport";
}

} // namespace

} // namespace tw
