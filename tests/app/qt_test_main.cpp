// GoogleTest on a QCoreApplication, with the USB log and Qt's own folders kept in a
// temporary folder so that no test writes into the user's home.
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir state;
    setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("TarnwickTests");
    QCoreApplication::setApplicationName("TarnwickTests");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
