#include "ui/main/termination_signals.h"

#include "support/hang_limit.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>

namespace tw {
namespace {

TEST(TerminationSignals, ASignalArrivesOnTheMainThreadAsAnEvent) {
    TerminationSignals handler;
    ASSERT_TRUE(handler.installed());
    QSignalSpy received(&handler, &TerminationSignals::received);
    ::raise(SIGTERM); // would end the test program without the handler
    ::raise(SIGINT);
    EXPECT_EQ(received.count(), 0); // nothing happens inside the handler itself
    while (received.count() < 2 && received.wait(test::kHangLimitMs)) {
    }
    ASSERT_EQ(received.count(), 2);
    EXPECT_EQ(received.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(received.at(1).at(0).toInt(), SIGINT);
}

TEST(TerminationSignals, TheHandlersAreGivenBackWhenDestroyed) {
    struct sigaction before {};
    ::sigaction(SIGTERM, nullptr, &before);
    {
        TerminationSignals handler;
        struct sigaction during {};
        ::sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, before.sa_handler);
    }
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

} // namespace
} // namespace tw
