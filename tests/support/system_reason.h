// The system's reason for a failed call, as Qt gives it to the program, in the language the test runs in.
#pragma once

#include <QString>

namespace tw::test {

// What the program shows for `errorNumber`: qt_error_string, as the file writers take it.
// Under LANG=de_DE.UTF-8 that is German for most numbers (Qt keeps a few in English), so a
// test compares with this and never with English words. A child process started with this
// program's environment gives the same words, once Qt has set the locale from it here too.
inline QString systemReason(int errorNumber) { return qt_error_string(errorNumber); }

} // namespace tw::test
