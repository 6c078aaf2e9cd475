// Global operator new and delete over malloc and free, with a countdown that
// makes one nothrow allocation fail. Throwing allocations never fail, so the
// test framework and the standard library are unaffected.
#include "failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gCountdown{-1};

void* allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void* allocateNothrow(std::size_t size) noexcept {
    long n = gCountdown.load();
    while (n >= 0 && !gCountdown.compare_exchange_weak(n, n - 1)) {
    }
    if (n == 0) return nullptr;
    return std::malloc(size ? size : 1);
}

} // namespace

namespace tw::test {

void failNothrowAllocation(long n) { gCountdown.store(n); }

} // namespace tw::test

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
