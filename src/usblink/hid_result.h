// Outcomes of the hidapi calls, for the USB log and the messages: 0 for success,
// else the errno that hidraw passed on from the kernel.
#pragma once

#include <string>

namespace tw {

class HidApi;

// The errno of the api's last failed call; EIO when the call left none.
int failureErrno(const HidApi& api);

// The system's text for an errno, "Permission denied".
std::string errnoText(int errnoValue);

// "success", or the errno with its text: "errno 13 (Permission denied)".
std::string hidResultName(int errnoValue);

} // namespace tw
