#include "usblink/io_return.h"

#include <cerrno>
#include <cstdio>

namespace tw {

int32_t ioreturn::fromErrno(int errnoValue) {
    switch (errnoValue) {
    case 0: return error; // a failure that left no reason
    case EACCES:
    case EPERM: return notPermitted;
    case EBUSY: return exclusiveAccess;
    case ENOENT:
    case ENODEV:
    case ENXIO: return noDevice;
    case ETIMEDOUT: return timeout;
    case EINVAL: return badArgument;
    case EOPNOTSUPP: return unsupported;
    case EBADF: return notOpen;
    case EPIPE:
    case EPROTO: return notResponding;
    case EINTR: return aborted;
    case EOVERFLOW: return overrun;
    default: return error;
    }
}

std::string ioReturnName(int32_t code) {
    struct Entry {
        int32_t code;
        const char* name;
    };
    static constexpr Entry names[] = {
        {ioreturn::success, "success"},
        {ioreturn::notPermitted, "not permitted"},
        {ioreturn::notPrivileged, "not privileged"},
        {ioreturn::exclusiveAccess, "exclusive access"},
        {ioreturn::notFound, "not found"},
        {ioreturn::timeout, "timeout"},
        {ioreturn::unsupported, "unsupported"},
        {ioreturn::notResponding, "not responding"},
        {ioreturn::noDevice, "no device"},
        {ioreturn::badArgument, "bad argument"},
        {ioreturn::notOpen, "not open"},
        {ioreturn::aborted, "aborted"},
        {ioreturn::overrun, "overrun"},
        {ioreturn::underrun, "underrun"},
        {ioreturn::error, "general error"},
    };
    const char* name = "?";
    for (const Entry& entry : names)
        if (entry.code == code) {
            name = entry.name;
            break;
        }
    char text[64];
    std::snprintf(text, sizeof text, "0x%08X (%s)", unsigned(uint32_t(code)), name);
    return text;
}

} // namespace tw
