#include "ui/keyboard/detectable_auto_repeat.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
// The C header names a field `explicit`, a keyword in C++.
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

namespace tw {

namespace {

bool askServer() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    // Qt has set up the extension on this connection already; asking again costs one round trip.
    xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    if (!supported) return false;
    constexpr uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t* flags = xcb_xkb_per_client_flags_reply(
        connection, xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr);
    const bool granted = flags && (flags->value & flag);
    std::free(flags);
    return granted;
}

} // namespace

bool requestDetectableAutoRepeat() {
    static const bool granted = askServer();
    return granted;
}

} // namespace tw
