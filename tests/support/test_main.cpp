// The main of the GoogleTest programs that need no main of their own (in place of gtest_main).
#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // As the application does (QCoreApplication does it there): the C library's words, such as
    // strerror's, then follow LANG and LC_*, and a test comparing with English words fails in
    // another language as the application's message would differ there.
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
