// Ends the process in each of the ways a plugin can through a function we
// can see, one export each. Built twice: as Ending,
// against the C run-time the project builds with, and as UcrtEnding, whose
// abort comes from ucrtbase instead. As a decoder it declares ".end", and
// its tag writer ends as the value says ("abort", "exit", "ExitProcess",
// "overflow"); other values are recorded.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "test_decoder.h"
#include "tests/support/stack_overflows.h"

TEST_DECODER_EXPORT void __cdecl EndByAbort() { std::abort(); }
TEST_DECODER_EXPORT void __cdecl EndByExit(int status) { std::exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByUnderscoreExit(int status) { _exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByCapitalExit(int status) { std::_Exit(status); }
TEST_DECODER_EXPORT void __cdecl EndByExitProcess(unsigned status) { ExitProcess(status); }

namespace {
const TestFormat kFormats[] = {{".end", "Ends the process"}};
}  // namespace

TEST_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                             char* description) {
    WriteFormat(kFormats, index, extension, description);
}

TEST_DECODER_EXPORT void __cdecl SetIDTagElement(const char* path, const char* field,
                                                 const char* value) {
    if (_stricmp(value, "abort") == 0) EndByAbort();
    if (_stricmp(value, "exit") == 0) EndByExit(7);
    if (_stricmp(value, "ExitProcess") == 0) EndByExitProcess(7);
    if (_stricmp(value, "overflow") == 0) OverflowTheStack();
    RecordTagCall(path, field, value);
}
