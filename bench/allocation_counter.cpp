#include "bench/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>

// glibc's own entry points, which the definitions below forward to.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
}

namespace {
std::atomic<std::uint64_t> allocations{0};

void Count() { allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

std::uint64_t AllocationCount() { return allocations.load(std::memory_order_relaxed); }

// Defined in the program, these take the place of the C library's for every
// caller, the C++ library's operator new included; free needs no counterpart,
// the blocks stay glibc's.
extern "C" void* malloc(std::size_t size) noexcept {
    Count();
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept {
    Count();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) noexcept {
    Count();
    return __libc_realloc(block, size);
}
