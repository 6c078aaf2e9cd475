#include "app/support/app_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace tw::test {

namespace {

// One QCoreApplication for the whole program, from the first test to the last.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "tarnwick_app_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] const auto* registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void pump(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    waitFor([&] { return std::chrono::steady_clock::now() > until; }, duration + std::chrono::seconds(1));
}

QString writeFirmwareFile(const MemoryPlatform& platform, Firmware which, const QString& name) {
    // The file is chosen as a user would, so the core must know our images' fingerprints.
    useTestFingerprints();
    QDir(platform.root()).mkpath(QStringLiteral("firmware"));
    const QString path = QDir(platform.root()).filePath(QStringLiteral("firmware/") + name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const auto& bytes = firmwareBytes(which);
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
    return path;
}

QString firmwareID(Firmware which) { return QString::fromStdString(sha256Hex(firmwareBytes(which))); }

bool startOn(AppModel& model, Firmware which, std::optional<SavedState> state, const QString& name) {
    useTestFingerprints();
    model.start(name, firmwareBytes(which), std::move(state));
    return waitFor([&] { return !model.isStarting(); }) && model.isRunning();
}

void tap(AppModel& model, int code) {
    model.press(code);
    model.release(code);
    pump(std::chrono::milliseconds(150));
}

void tapKeys(AppModel& model, std::initializer_list<int> codes) {
    for (int code : codes) tap(model, code);
}

QString shownText(const AppModel& model) { return QString::fromStdString(model.snapshot().lcd.text).trimmed(); }

std::optional<InspectorSnapshot> freshInspection(AppModel& model) {
    std::optional<std::optional<InspectorSnapshot>> result;
    model.requestFreshInspection([&](std::optional<InspectorSnapshot> s) { result = std::move(s); });
    if (!waitFor([&] { return result.has_value(); })) return std::nullopt;
    return *result;
}

} // namespace tw::test
