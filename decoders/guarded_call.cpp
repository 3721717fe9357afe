#include "decoders/guarded_call.h"

#include <windows.h>

#include <cstdint>

#include "decoders/guarded_frame.h"

namespace {

// Raised on a decoder's way out of the process; the guard stops it like
// any fault.
constexpr DWORD kDecoderEndedCode = 0xE0504154;

// Whether a guard page lies in the committed stack below `from`, down to
// the stack's reservation base: the walk goes region by region and stops at
// the first one that is not committed.
bool StackHasGuardPage(const char* from) {
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(from, &region, sizeof region) != sizeof region) return false;
    const void* stackBase = region.AllocationBase;
    for (;;) {
        if (region.AllocationBase != stackBase || region.State != MEM_COMMIT) return false;
        if (region.Protect & PAGE_GUARD) return true;
        const auto* below = static_cast<const char*>(region.BaseAddress) - 1;
        if (region.BaseAddress == stackBase ||
            VirtualQuery(below, &region, sizeof region) != sizeof region) {
            return false;
        }
    }
}

// A stack overflow uses up the thread's guard page, and until one is back a
// second overflow on the thread cannot be reported at all: the platform
// ends the process (Windows) or the thread (Wine). As the C run-time's
// _resetstkoflw does, the page just below the current one becomes the
// guard, unless that would leave no room for the platform's own reserve.
void RestoreStackGuardPage() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::uintptr_t page = system.dwPageSize;
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    auto* guard = reinterpret_cast<char*>((here & ~(page - 1)) - page);
    if (StackHasGuardPage(guard)) return;
    MEMORY_BASIC_INFORMATION stack;
    if (VirtualQuery(guard, &stack, sizeof stack) != sizeof stack) return;
    ULONG guarantee = 0;
    SetThreadStackGuarantee(&guarantee);  // with 0: only asks
    if (guard < static_cast<char*>(stack.AllocationBase) + 2 * page + guarantee) return;
    DWORD previous;
    if (VirtualAlloc(guard, page, MEM_COMMIT, PAGE_READWRITE) != nullptr) {
        VirtualProtect(guard, page, PAGE_READWRITE | PAGE_GUARD, &previous);
    }
}

}  // namespace

bool GuardedCall(GuardedBody body, void* context) {
    if (RunInGuardFrame(body, context)) return true;
    RestoreStackGuardPage();
    return false;
}

void EndGuardedCallIfInside() {
    if (InsideGuardFrame()) {
        RaiseException(kDecoderEndedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
}
