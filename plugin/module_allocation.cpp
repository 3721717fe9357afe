// PathTagger.dll's own operator new and delete, straight over the C
// run-time's heap. The C++ library's versions throw std::bad_alloc, and
// linking them pulls the exception runtime and its unwinder into the DLL,
// which registers itself anew at every load and leaves a lock handle and,
// with the posix runtime, a thread-local-storage index behind at every
// unload. The DLL's code is compiled without exceptions and only ever uses
// the nothrow forms where it handles a failure; the plain forms have nothing
// to throw and no caller that could go on without memory, so a failure ends
// the process as an uncaught std::bad_alloc would.
#include <cstdlib>
#include <new>

namespace {

void* AllocateOrNull(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }

void* AllocateOrAbort(std::size_t size) {
    void* block = AllocateOrNull(size);
    if (block == nullptr) std::abort();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrAbort(size); }
void* operator new[](std::size_t size) { return AllocateOrAbort(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
