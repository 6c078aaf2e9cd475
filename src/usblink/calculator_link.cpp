#include "usblink/calculator_link.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tw {

namespace {

// Reports still queued from an earlier exchange (the tail of a read that timed out)
// are dropped before a new request; two whole replies is more than can be pending.
constexpr int maxLeftoverReports = 2 * int(CalculatorLink::memorySize / 63 + 1);
constexpr double leftoverWait = 0.01;

} // namespace

CalculatorLink::CalculatorLink(std::shared_ptr<CalculatorTransport> transport, LinkClock& clock)
    : transport_(std::move(transport)), clock_(clock) {}

bool CalculatorLink::isDoubleMemory(std::span<const uint8_t> image) {
    return image.size() > doubleMemoryByte && (image[doubleMemoryByte] & doubleMemoryMask) != 0;
}

CalculatorLink::Report CalculatorLink::readRequest() {
    Report report{};
    report[0] = readCommand;
    return report;
}

void CalculatorLink::append(std::span<const uint8_t> report, std::vector<uint8_t>& image) {
    if (report.empty()) return;
    const unsigned n = report[0];
    if (n == 0) return;
    if (n >= reportSize || report.size() <= n) throw LinkError::badReport(n);
    if (image.size() + n > memorySize) throw LinkError::badReport(n);
    image.insert(image.end(), report.begin() + 1, report.begin() + 1 + n);
}

std::vector<CalculatorLink::Report> CalculatorLink::writePackets(std::span<const uint8_t> image) {
    if (image.size() != memorySize) throw LinkError::wrongSize(image.size());
    std::vector<Report> packets(memorySize / blockSize);
    for (std::size_t b = 0; b < packets.size(); ++b) {
        Report& report = packets[b];
        report.fill(0);
        report[0] = uint8_t(2 + blockSize);
        report[1] = writeCommand;
        report[2] = uint8_t(b);
        std::memcpy(&report[3], &image[b * blockSize], blockSize);
    }
    return packets;
}

std::vector<uint8_t> CalculatorLink::merge(std::span<const uint8_t> image, std::span<const uint8_t> current,
                                           std::optional<bool> doubleMemory) {
    std::vector<uint8_t> merged(current.begin(), current.end());
    std::copy(image.begin() + writableBegin, image.begin() + writableEnd, merged.begin() + writableBegin);
    constexpr std::size_t mirrorByte = 196; // the flag's copy inside the writable range
    if (doubleMemory) {
        if (*doubleMemory) {
            merged[doubleMemoryByte] |= doubleMemoryMask;
            merged[mirrorByte] |= 0x01;
        } else {
            merged[doubleMemoryByte] &= uint8_t(~doubleMemoryMask);
            merged[mirrorByte] &= uint8_t(~0x01);
        }
    }
    return merged;
}

std::optional<CalculatorLink::Difference> CalculatorLink::compare(std::span<const uint8_t> a,
                                                                  std::span<const uint8_t> b) {
    const std::size_t longer = std::max(a.size(), b.size());
    std::optional<Difference> result;
    for (std::size_t i = 0; i < longer; ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i]) continue;
        if (result)
            ++result->count;
        else
            result = Difference{1, i};
    }
    return result;
}

void CalculatorLink::discardLeftovers() {
    for (int i = 0; i < maxLeftoverReports; ++i)
        if (!transport_->receive(leftoverWait)) return;
}

std::vector<uint8_t> CalculatorLink::readMemory() {
    discardLeftovers();
    transport_->send(readRequest());
    if (commandPause > 0) clock_.sleep(commandPause);

    std::vector<uint8_t> image;
    image.reserve(memorySize);
    const double deadline = clock_.now() + readTimeout;
    if (clock_.now() >= deadline) throw LinkError::timeout(0);
    for (;;) {
        const double left = std::clamp(deadline - clock_.now(), 0.01, 0.25);
        if (auto report = transport_->receive(left)) {
            append(*report, image);
            if (image.size() == memorySize) {
                // A reply that goes on past a whole image is not the memory: it is
                // mixed with reports of an earlier exchange, or the framing is off.
                // Idle reports carry no data and do not end the reply, so look on
                // until the line is quiet.
                for (int i = 0; i < maxLeftoverReports; ++i) {
                    auto extra = transport_->receive(leftoverWait);
                    if (!extra) break;
                    if (!extra->empty() && (*extra)[0] != 0) throw LinkError::badReport((*extra)[0]);
                }
                return image;
            }
        }
        if (clock_.now() >= deadline) throw LinkError::timeout(image.size());
    }
}

std::vector<uint8_t> CalculatorLink::writeMemory(std::span<const uint8_t> image, std::optional<bool> doubleMemory) {
    if (image.size() != memorySize) throw LinkError::wrongSize(image.size());
    return session([&] { return writeOpen(image, doubleMemory); });
}

std::vector<uint8_t> CalculatorLink::writeOpen(std::span<const uint8_t> image, std::optional<bool> doubleMemory) {
    std::vector<uint8_t> current = readMemory();
    const std::vector<uint8_t> merged = merge(image, current, doubleMemory);
    const std::vector<Report> packets = writePackets(merged);
    const int attempts = writeAttempts >= 2 ? writeAttempts : 1;
    const auto writable = [](std::span<const uint8_t> bytes) {
        return bytes.subspan(writableBegin, writableEnd - writableBegin);
    };

    std::optional<LinkError> lastError;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        for (std::size_t b = 0; b < packets.size(); ++b) {
            const std::size_t at = b * blockSize;
            if (std::equal(current.begin() + at, current.begin() + at + blockSize, merged.begin() + at)) continue;
            transport_->send(packets[b]);
            if (packetPause > 0) clock_.sleep(packetPause);
        }

        std::vector<uint8_t> readBack;
        try {
            readBack = readMemory();
        } catch (const LinkError& error) {
            if (error.kind() == LinkError::Kind::noDevice) throw;
            lastError = error;
            continue;
        }
        if (auto difference = compare(writable(readBack), writable(merged))) {
            lastError = LinkError::mismatch(difference->count, difference->first + writableBegin);
            current = std::move(readBack);
            continue;
        }
        if (doubleMemory && isDoubleMemory(readBack) != *doubleMemory) {
            lastError = LinkError::mismatch(1, doubleMemoryByte);
            current = std::move(readBack);
            continue;
        }
        return readBack;
    }
    throw *lastError;
}

} // namespace tw
