#include "usblink/hid_result.h"

#include "usblink/hid_api.h"

#include <cerrno>
#include <cstring>

namespace tw {

int failureErrno(const HidApi& api) {
    const int value = api.lastErrno();
    return value > 0 ? value : EIO;
}

std::string errnoText(int errnoValue) {
    char buffer[128];
    // The GNU strerror_r: the text may be a static string rather than the buffer.
    return strerror_r(errnoValue, buffer, sizeof buffer);
}

std::string hidResultName(int errnoValue) {
    if (errnoValue == 0) return "success";
    return "errno " + std::to_string(errnoValue) + " (" + errnoText(errnoValue) + ")";
}

} // namespace tw
