#include "inspector/size_requests.h"

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <mutex>

namespace tw::test {
namespace {

std::mutex counting;
std::map<std::uint32_t, int> counts;

} // namespace

int sizeRequests(std::uint32_t window) {
    const std::lock_guard lock(counting);
    const auto found = counts.find(window);
    return found == counts.end() ? 0 : found->second;
}

} // namespace tw::test

// Qt's X11 plugin asks for every window's geometry here: this program's own definition,
// which it exports (ENABLE_EXPORTS), stands in for the library's, counts the requests that
// set a size, and hands each on to the library's.
extern "C" xcb_void_cookie_t xcb_configure_window(xcb_connection_t* connection, xcb_window_t window,
                                                  uint16_t valueMask, const void* values) {
    using Configure = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_window_t, uint16_t, const void*);
    static const auto library = reinterpret_cast<Configure>(
        dlsym(dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD), "xcb_configure_window"));
    if (!library) std::abort();
    if (valueMask & (XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT)) {
        const std::lock_guard lock(tw::test::counting);
        ++tw::test::counts[window];
    }
    return library(connection, window, valueMask, values);
}
