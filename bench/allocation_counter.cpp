#include "bench/allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>

namespace {
std::atomic<std::uint64_t> allocations{0};

void Count() { allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

std::uint64_t AllocationCount() { return allocations.load(std::memory_order_relaxed); }

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer owns malloc and its kin; it tells its hooks instead. (The
// compiler does not ship the sanitizer headers, so the runtime's entry point
// is declared here.)
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onAllocation)(const volatile void*, std::size_t),
    void (*onRelease)(const volatile void*));

namespace {
void OnAllocation(const volatile void*, std::size_t) { Count(); }
void OnRelease(const volatile void*) {}
const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnRelease);
}  // namespace
#else
// glibc's own entry points, which the definitions below forward to.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
}

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
#endif
