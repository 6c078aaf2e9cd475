// The one QCoreApplication of the platform test program, made by whichever test needs it first.
#pragma once

#include <QCoreApplication>

namespace tw::test {

inline void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "tarnwick_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

} // namespace tw::test
