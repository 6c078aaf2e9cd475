// The C library's text for an error number, in the language the test runs in.
#pragma once

#include <cstring>
#include <string>

namespace tw::test {

// strerror's words in this program's locale, as the USB log and link errors take them:
// a test compares with this and never with English words.
inline std::string strerrorText(int errorNumber) { return std::strerror(errorNumber); }

} // namespace tw::test
