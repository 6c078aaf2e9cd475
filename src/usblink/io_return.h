// Result codes of the transport's calls, with the values of IOKit's IOReturn codes
// so that log lines and messages read alike on every platform. Linux errno values
// from hidraw are mapped onto them.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

namespace ioreturn {

constexpr int32_t success = 0;
constexpr int32_t error = int32_t(0xE00002BC);
constexpr int32_t noDevice = int32_t(0xE00002C0);
constexpr int32_t notPrivileged = int32_t(0xE00002C1);
constexpr int32_t badArgument = int32_t(0xE00002C2);
constexpr int32_t exclusiveAccess = int32_t(0xE00002C5);
constexpr int32_t unsupported = int32_t(0xE00002C7);
constexpr int32_t notOpen = int32_t(0xE00002CD);
constexpr int32_t timeout = int32_t(0xE00002D6);
constexpr int32_t notPermitted = int32_t(0xE00002E2);
constexpr int32_t underrun = int32_t(0xE00002E7);
constexpr int32_t overrun = int32_t(0xE00002E8);
constexpr int32_t aborted = int32_t(0xE00002EB);
constexpr int32_t notResponding = int32_t(0xE00002ED);
constexpr int32_t notFound = int32_t(0xE00002F0);

// The code of a failed hidraw call from its errno.
int32_t fromErrno(int errnoValue);

} // namespace ioreturn

// "0x" with eight upper-case hex digits, a space and a short name in parentheses.
std::string ioReturnName(int32_t code);

} // namespace tw
