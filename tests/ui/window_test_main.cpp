// Runs the window tests inside one QApplication, with settings, data and the
// single-instance socket in a folder of their own so that no test touches the
// user's Tarnwick.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QByteArray path = (home.path() + QLatin1Char('/') + QLatin1String(name)).toUtf8();
        qputenv(name, path);
    }
    qputenv("TW_TEST_HOME", home.path().toUtf8());
    // Offscreen unless a display was given (the screenshots also run under Xvfb).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
