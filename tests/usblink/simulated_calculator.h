// A CE calculator in its USB mode behind CalculatorTransport, with a switch for
// every way the real one or its connection can fail. It records what it was sent.
#pragma once

#include "fake_clock.h"
#include "usblink/calculator_transport.h"
#include "usblink/link_error.h"

#include <deque>
#include <optional>
#include <set>
#include <vector>

namespace tw {

class SimulatedCalculator final : public CalculatorTransport {
public:
    explicit SimulatedCalculator(FakeClock& clock);

    void open() override;
    void close() noexcept override;
    void send(std::span<const uint8_t> report) override;
    std::optional<std::vector<uint8_t>> receive(double timeout) override;

    // The calculator's memory image.
    std::vector<uint8_t> memory;

    // Failure switches.
    std::optional<LinkError> openFailure;     // open() throws this
    bool silent = false;                      // never answers a read request
    std::optional<std::size_t> replyStopsAfter; // each reply stops after this many reports
    bool zeroLengthReports = false;           // an empty and a length-0 report before each reply report
    std::optional<std::vector<uint8_t>> oddReport; // takes the place of reply report oddReportAt
    std::size_t oddReportAt = 0;
    bool extraReport = false;                 // one more report after a whole reply
    std::vector<std::vector<uint8_t>> afterReply; // reports that follow each whole reply
    std::optional<std::size_t> stuckOffset;   // a byte whose writes do not stick
    std::optional<int> failingSend;           // this send (counted from 1) fails
    std::set<int> unansweredReads;            // these read requests (counted from 1) get no answer
    std::optional<int> lostAfterRead;         // after this read request the device is gone
    // The reply to read request heldRead keeps back all reports from heldFrom on and
    // delivers them late: before the next request is sent, or just after it.
    std::optional<int> heldRead;
    std::size_t heldFrom = 0;
    bool heldArriveAfterRequest = false;

    // Records.
    std::vector<std::vector<uint8_t>> sent;
    std::vector<double> receiveTimeouts;
    int opens = 0;
    int closes = 0;
    bool isOpen = false;
    int readRequests = 0;
    int writeReports = 0;

private:
    std::vector<std::vector<uint8_t>> reply() const;

    FakeClock& clock_;
    std::deque<std::vector<uint8_t>> pending_;
    std::deque<std::vector<uint8_t>> held_;
    double heldReleaseAt_ = 0;
    bool lost_ = false;
};

// A memory image with a recognisable pattern.
std::vector<uint8_t> patternImage(uint8_t seed);

} // namespace tw
