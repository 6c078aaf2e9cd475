// How many bytes a process has read: a count of the work that a test can hold against
// a file that must not be read, however fast or slow the machine reads it.
#pragma once

#include <fstream>
#include <string>

namespace tw::test {

// The bytes the process (this one by default, else the one of that id) has read so far
// through read() and its kin, on all its threads: Linux's count in /proc; 0 where the
// system keeps none.
inline long long bytesReadSoFar(const std::string& process = "self") {
    std::ifstream io("/proc/" + process + "/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

} // namespace tw::test
