// hidapi as the transport sees it, scripted: devices to enumerate, results of
// every call, get-report answers and interrupt reports. Records every call.
#pragma once

#include "fake_clock.h"
#include "usblink/hid_api.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tw {

struct FakeHidApi final : HidApi {
    explicit FakeHidApi(FakeClock& fakeClock) : clock(fakeClock) {}

    // A get-report answer: the bytes returned (report ID first), or a failure's errno.
    struct Poll {
        std::vector<uint8_t> data;
        int error = 0;
    };

    FakeClock& clock;
    int initErrno = -1; // hid_init fails with this errno when 0 or above
    std::vector<HidDeviceInfo> devices;
    int openErrno = -1; // hid_open_path fails with this errno when 0 or above
    int writeErrno = -1;
    std::optional<int> writeCount;       // what hid_write returns when it works
    std::deque<Poll> polls;              // scripted get-report answers
    std::optional<int> idlePollErrno;    // when the script is empty: fail, else an empty report
    std::deque<std::vector<uint8_t>> interrupts;
    int readErrno = -1;
    std::function<void(std::span<const uint8_t>)> onWrite;

    int inits = 0, exits = 0, opens = 0, closes = 0, pollCount = 0, readCount = 0;
    std::vector<std::pair<uint16_t, uint16_t>> enumerated;
    std::string openedPath;
    bool deviceOpen = false;
    std::vector<std::vector<uint8_t>> written;
    int lastErrno_ = 0;

    int init() override {
        ++inits;
        return initErrno >= 0 ? fail(initErrno) : 0;
    }
    void exit() override { ++exits; }
    std::vector<HidDeviceInfo> enumerate(uint16_t vendorID, uint16_t productID) override {
        enumerated.emplace_back(vendorID, productID);
        return devices;
    }
    bool openPath(const std::string& path) override {
        ++opens;
        openedPath = path;
        if (openErrno >= 0) return fail(openErrno), false;
        deviceOpen = true;
        return true;
    }
    void close() override {
        ++closes;
        deviceOpen = false;
    }
    int write(std::span<const uint8_t> data) override {
        written.emplace_back(data.begin(), data.end());
        if (writeErrno >= 0) return fail(writeErrno);
        if (onWrite) onWrite(data.subspan(1));
        return writeCount ? *writeCount : int(data.size());
    }
    int getInputReport(std::span<uint8_t> data) override {
        ++pollCount;
        if (data.empty() || data[0] != 0) return fail(22); // the report ID must be set
        Poll poll;
        if (!polls.empty()) {
            poll = std::move(polls.front());
            polls.pop_front();
        } else if (idlePollErrno) {
            poll.error = *idlePollErrno;
        } else {
            poll.data.assign(65, 0);
        }
        if (poll.error) return fail(poll.error);
        std::copy(poll.data.begin(), poll.data.begin() + std::min(poll.data.size(), data.size()), data.begin());
        return int(std::min(poll.data.size(), data.size()));
    }
    int readTimeout(std::span<uint8_t> data, int milliseconds) override {
        ++readCount;
        if (readErrno >= 0) return fail(readErrno);
        if (interrupts.empty()) {
            clock.sleep(milliseconds / 1000.0);
            return 0;
        }
        std::vector<uint8_t> report = std::move(interrupts.front());
        interrupts.pop_front();
        const std::size_t n = std::min(report.size(), data.size());
        std::copy_n(report.begin(), n, data.begin());
        return int(n);
    }
    int lastErrno() const override { return lastErrno_; }

    int fail(int error) {
        lastErrno_ = error;
        return -1;
    }
};

} // namespace tw
