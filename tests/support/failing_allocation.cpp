#include "tests/support/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocationsUntilFailure{0};
std::atomic<bool> failed{false};
std::atomic<long> liveBlocks{0};

bool FailThisOne() {
    long left = allocationsUntilFailure.load();
    while (left > 0 && !allocationsUntilFailure.compare_exchange_weak(left, left - 1)) {
    }
    if (left != 1) return false;
    failed = true;
    return true;
}
}  // namespace

void FailAllocationAfter(long count) {
    allocationsUntilFailure = count;
    failed = false;
}

bool AllocationFailed() { return failed; }

long LiveBlocks() { return liveBlocks; }

// The library's array and nothrow forms all end in these.
void* operator new(std::size_t size) {
    if (FailThisOne()) throw std::bad_alloc();
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    ++liveBlocks;
    return block;
}

void operator delete(void* block) noexcept {
    if (block == nullptr) return;
    --liveBlocks;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }
