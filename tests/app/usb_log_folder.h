// Keeps the USB log of a test program in a temporary folder instead of the user's
// state folder; set once before the first test, while no other thread runs.
#pragma once

#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

namespace tw::test {

class USBLogFolder : public ::testing::Environment {
public:
    void SetUp() override { setenv("XDG_STATE_HOME", folder_.path().toLocal8Bit().constData(), 1); }

private:
    QTemporaryDir folder_;
};

inline const auto* usbLogFolder = ::testing::AddGlobalTestEnvironment(new USBLogFolder);

} // namespace tw::test
