// Ends the process in each of the ways a plugin can through a function we
// can see, one export each; and overflows its stack. Built twice: as Ending,
// against the C run-time the project builds with, and as UcrtEnding, whose
// abort comes from ucrtbase instead.
#include <windows.h>

#include <cstdlib>

#include "test_decoder.h"

TEST_DECODER_EXPORT void __cdecl EndByAbort() { std::abort(); }
TEST_DECODER_EXPORT void __cdecl EndByExit(int status) { std::exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByUnderscoreExit(int status) { _exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByCapitalExit(int status) { std::_Exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByExitProcess(unsigned status) { ExitProcess(status); }

namespace {
// Through a volatile pointer, so that the compiler can neither see the end
// of the recursion nor turn it into a loop.
int (*volatile overflowStep)(int);

int OverflowStep(int depth) {
    volatile char block[1024];
    block[depth % sizeof block] = char(depth);
    return overflowStep(depth + 1) + block[0];
}
}  // namespace

TEST_DECODER_EXPORT int __cdecl Overflow() {
    overflowStep = OverflowStep;
    return overflowStep(0);
}
