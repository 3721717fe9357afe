// Overflowing the calling thread's stack, for decoders and tests; and
// whether a stack overflow can reach an exception handler at all here. Under
// Wine 8 at 64 bits it cannot: setting up the exception record needs more
// stack than the thread has left, and Wine ends the thread at the first
// overflow (measured: "virtual_setup_exception stack overflow 1808 bytes",
// with a larger stack guarantee too). Windows and Wine at 32 bits deliver it.
#pragma once

#include <windows.h>

inline bool StackOverflowsReachHandlers() {
#if defined(__x86_64__)
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
#else
    return true;
#endif
}

// Through a volatile pointer, so that the compiler can neither see the end
// of the recursion nor turn it into a loop.
inline int (*volatile overflowStep)(int);

inline int OverflowStep(int depth) {
    volatile char block[1024];
    block[depth % sizeof block] = char(depth);
    return overflowStep(depth + 1) + block[0];
}

// Never returns normally: ends in a stack overflow.
inline void OverflowTheStack() {
    overflowStep = OverflowStep;
    overflowStep(0);
}
