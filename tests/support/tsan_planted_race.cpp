// A data race planted on purpose in our own code: a closure run by Qt's thread pool
// and the main thread write one variable with nothing ordering them. Built only
// under ThreadSanitizer, where the test passes when the race is reported, so that
// the suppressions for Qt's own frames are shown not to hide races of ours.
#include <QCoreApplication>
#include <QThreadPool>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <cstdio>
#include <thread>

namespace tw::test {

// Not atomic and not locked: the race. Relaxed flags below order nothing for the
// sanitizer, so the race is found on every run, whatever the timing.
char planted[64] = {};
std::atomic<bool> written{false};

// The main thread's side goes through memcpy, an intercepted call made from our
// code: ignoring what Qt's own calls touch must not ignore ours.
[[gnu::noinline]] void writePlanted(char value, std::size_t size) {
    char bytes[sizeof planted];
    std::memset(bytes, value, sizeof bytes);
    std::memcpy(planted, bytes, size);
}

int run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QThreadPool::globalInstance()->start([] {
        planted[0] = 1;
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed)) std::this_thread::yield();
    writePlanted(2, argc > 99 ? 1 : sizeof planted); // a size the compiler cannot see
    QThreadPool::globalInstance()->waitForDone();
    std::printf("planted value %d\n", planted[0]);
    return 0;
}

} // namespace tw::test

int main(int argc, char** argv) { return tw::test::run(argc, argv); }
