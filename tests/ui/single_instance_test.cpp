#include "ui/main/single_instance.h"

#include "support/hang_limit.h"

#include <QDir>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace tw {
namespace {

QString socketIn(const QTemporaryDir& dir) { return QDir(dir.path()).filePath(QStringLiteral("tw.socket")); }

// A later start runs its hand-over in its own process; a thread stands in for it
// here, because the running instance answers from its event loop.
bool handOverFromElsewhere(const QString& name, const QStringList& files) {
    auto result = std::async(std::launch::async, [&] {
        SingleInstance later(name);
        return later.handOver(files, test::kHangLimitMs);
    });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QTest::qWait(5);
    return result.get();
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheRunningOne) {
    QTemporaryDir dir;
    SingleInstance running(socketIn(dir));
    ASSERT_EQ(running.listen(), SingleInstance::Listen::listening);
    QSignalSpy received(&running, &SingleInstance::filesReceived);

    const QStringList files{QStringLiteral("/home/u/a b.15c"), QStringLiteral("/tmp/ü.16c")};
    EXPECT_TRUE(handOverFromElsewhere(running.serverName(), files));
    ASSERT_TRUE(received.count() == 1 || received.wait(test::kHangLimitMs));
    EXPECT_EQ(received.at(0).at(0).toStringList(), files);

    // A start without files still finds the running one (it only brings it forward).
    EXPECT_TRUE(handOverFromElsewhere(running.serverName(), {}));
    ASSERT_TRUE(received.count() == 2 || received.wait(test::kHangLimitMs));
    EXPECT_TRUE(received.at(1).at(0).toStringList().isEmpty());

    // A second instance of the same name cannot listen while the first runs.
    SingleInstance second(running.serverName());
    EXPECT_EQ(second.listen(), SingleInstance::Listen::taken);
}

TEST(SingleInstance, NobodyToHandOverToAndAStaleSocketIsTakenOver) {
    QTemporaryDir dir;
    SingleInstance first(socketIn(dir));
    EXPECT_FALSE(first.handOver({QStringLiteral("/x")}, 300));

    // A crashed run leaves its socket file behind.
    QFile stale(first.serverName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_EQ(first.listen(), SingleInstance::Listen::listening);
    EXPECT_TRUE(handOverFromElsewhere(first.serverName(), {QStringLiteral("/x")}));
}

TEST(SingleInstance, ASocketThatCannotBeMadeIsNotMistakenForAnotherInstance) {
    SingleInstance nowhere(QStringLiteral("/nonexistent-folder/tw.socket"));
    EXPECT_EQ(nowhere.listen(), SingleInstance::Listen::failed);
}

TEST(SingleInstance, TheNameBelongsToTheSettingsFile) {
    const QString a = SingleInstance::defaultServerName(QStringLiteral("/home/u/.config/Tarnwick/Tarnwick.conf"));
    const QString b = SingleInstance::defaultServerName(QStringLiteral("/tmp/testfw/Tarnwick/Tarnwick.conf"));
    EXPECT_NE(a, b);
    EXPECT_EQ(a, SingleInstance::defaultServerName(QStringLiteral("/home/u/.config/Tarnwick/./Tarnwick.conf")));
}

} // namespace
} // namespace tw
