// Catching the error of an operation that must fail.
#pragma once

#include "usblink/link_error.h"

#include <gtest/gtest.h>

namespace tw {

// The LinkError that an operation throws; a test failure when it throws none.
template <class Operation>
LinkError thrownLinkError(Operation&& operation) {
    try {
        operation();
    } catch (const LinkError& error) {
        return error;
    }
    ADD_FAILURE() << "no LinkError thrown";
    return LinkError::io("nothing thrown");
}

} // namespace tw
