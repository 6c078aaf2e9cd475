#include "simulated_calculator.h"

#include "usblink/calculator_link.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tw {

std::vector<uint8_t> patternImage(uint8_t seed) {
    std::vector<uint8_t> image(CalculatorLink::memorySize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7 + seed + (i >> 8));
    return image;
}

SimulatedCalculator::SimulatedCalculator(FakeClock& clock) : memory(patternImage(1)), clock_(clock) {}

void SimulatedCalculator::open() {
    ++opens;
    EXPECT_FALSE(isOpen) << "opened twice";
    if (openFailure) throw *openFailure;
    isOpen = true;
}

void SimulatedCalculator::close() noexcept {
    ++closes;
    isOpen = false;
}

std::vector<std::vector<uint8_t>> SimulatedCalculator::reply() const {
    std::vector<std::vector<uint8_t>> reports;
    for (std::size_t at = 0; at < memory.size(); at += 63) {
        const std::size_t n = std::min<std::size_t>(63, memory.size() - at);
        std::vector<uint8_t> report(64, 0);
        report[0] = uint8_t(n);
        std::copy_n(memory.begin() + at, n, report.begin() + 1);
        if (zeroLengthReports) {
            reports.emplace_back();
            reports.push_back(std::vector<uint8_t>(64, 0));
        }
        reports.push_back(std::move(report));
    }
    if (oddReport) reports.at(oddReportAt) = *oddReport;
    if (replyStopsAfter && *replyStopsAfter < reports.size()) reports.resize(*replyStopsAfter);
    if (extraReport) reports.push_back({5, 1, 2, 3, 4, 5});
    reports.insert(reports.end(), afterReply.begin(), afterReply.end());
    return reports;
}

void SimulatedCalculator::send(std::span<const uint8_t> report) {
    if (!isOpen || lost_) throw LinkError::noDevice();
    sent.emplace_back(report.begin(), report.end());
    if (failingSend && int(sent.size()) == *failingSend) throw LinkError::io("sending a report failed (Broken pipe)");
    EXPECT_EQ(report.size(), CalculatorLink::reportSize);

    if (report[0] == CalculatorLink::readCommand) {
        ++readRequests;
        std::deque<std::vector<uint8_t>> late = std::move(held_);
        held_.clear();
        if (!heldArriveAfterRequest) { // still on their way: they come when they come
            held_ = std::move(late);
            late.clear();
        }
        if (lostAfterRead && readRequests >= *lostAfterRead) lost_ = true;
        std::vector<std::vector<uint8_t>> answer;
        if (!silent && !unansweredReads.count(readRequests) && !lost_) answer = reply();
        if (heldArriveAfterRequest) answer.insert(answer.begin(), late.begin(), late.end());
        if (heldRead && readRequests == *heldRead && answer.size() > heldFrom) {
            heldReleaseAt_ = clock_.t + 3.5; // after the reader has given up
            held_.assign(answer.begin() + std::ptrdiff_t(heldFrom), answer.end());
            answer.resize(heldFrom);
        }
        pending_.insert(pending_.end(), answer.begin(), answer.end());
        return;
    }

    EXPECT_EQ(report[0], 0x22);
    EXPECT_EQ(report[1], CalculatorLink::writeCommand);
    ++writeReports;
    const std::size_t at = std::size_t(report[2]) * CalculatorLink::blockSize;
    for (std::size_t i = 0; i < CalculatorLink::blockSize; ++i)
        if (!stuckOffset || at + i != *stuckOffset) memory.at(at + i) = report[3 + i];
}

std::optional<std::vector<uint8_t>> SimulatedCalculator::receive(double timeout) {
    if (!isOpen || lost_) throw LinkError::noDevice();
    receiveTimeouts.push_back(timeout);
    if (!held_.empty() && !heldArriveAfterRequest && clock_.t >= heldReleaseAt_) {
        pending_.insert(pending_.end(), held_.begin(), held_.end());
        held_.clear();
    }
    if (pending_.empty()) {
        clock_.sleep(timeout);
        return std::nullopt;
    }
    std::vector<uint8_t> report = std::move(pending_.front());
    pending_.pop_front();
    return report;
}

} // namespace tw
