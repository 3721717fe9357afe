// Decoder plugins that misbehave in one way each, chosen at build time:
//   ENDLESS_LONG        never ends WhatFormats, every extension 300 characters
//   FORMATS_FAULT       WhatFormats writes through a null pointer
//   FORMATS_RAISE       WhatFormats raises a C++ exception as a structured one
//   SET_TAG_FAULT       declares ".bad"; SetIDTagElement faults
//   SET_TAG_RAISE       declares ".bad"; SetIDTagElement raises
//   SET_TAG_THROW       declares ".bad"; SetIDTagElement throws a C++ exception
//                       of its own runtime
//   SET_TAG_ABORT       declares ".bad"; SetIDTagElement calls abort
//   SET_TAG_UCRT_ABORT  the same, with abort imported from ucrtbase
//   SET_TAG_EXIT        declares ".bad"; SetIDTagElement calls exit(7)
//   SET_TAG_UNDERSCORE_EXIT
//                       declares ".bad"; SetIDTagElement calls _exit(7)
//   SET_TAG_EXIT_PROCESS
//                       declares ".bad"; SetIDTagElement calls ExitProcess(7)
//   SET_TAG_OVERFLOW    declares ".bad"; SetIDTagElement overflows its stack,
//                       at every call
//   DLLMAIN_FAILS       its entry point refuses to load
//   DLLMAIN_FAULTS      its entry point faults
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/support/stack_overflows.h"

#define HOSTILE_EXPORT extern "C" __declspec(dllexport)

namespace {

[[maybe_unused]] void Fault() { *static_cast<volatile std::int32_t*>(nullptr) = 1; }

// How a plugin built with structured C++ exceptions throws.
[[maybe_unused]] void RaiseCppException() { RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr); }

void Misbehave() {
#if defined(FORMATS_FAULT) || defined(SET_TAG_FAULT)
    Fault();
#elif defined(FORMATS_RAISE) || defined(SET_TAG_RAISE)
    RaiseCppException();
#elif defined(SET_TAG_THROW)
    throw 42;
#elif defined(SET_TAG_ABORT) || defined(SET_TAG_UCRT_ABORT)
    std::abort();
#elif defined(SET_TAG_EXIT)
    std::exit(7);
#elif defined(SET_TAG_UNDERSCORE_EXIT)
    _exit(7);
#elif defined(SET_TAG_EXIT_PROCESS)
    ExitProcess(7);
#elif defined(SET_TAG_OVERFLOW)
    OverflowTheStack();
#endif
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#if defined(DLLMAIN_FAILS)
    return reason != DLL_PROCESS_ATTACH;
#elif defined(DLLMAIN_FAULTS)
    if (reason == DLL_PROCESS_ATTACH) Fault();
#endif
    (void)reason;
    return TRUE;
}

HOSTILE_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                        char* description) {
#if defined(ENDLESS_LONG)
    (void)index;
    extension[0] = '.';
    std::memset(extension + 1, 'e', 299);
    extension[300] = '\0';
    std::strcpy(description, "endless");
#elif defined(FORMATS_FAULT) || defined(FORMATS_RAISE)
    if (index == 1) Misbehave();
    std::strcpy(extension, index == 0 ? ".first" : "");
    std::strcpy(description, "misbehaves on the second format");
#else
    std::strcpy(extension, index == 0 ? ".bad" : "");
    std::strcpy(description, "hostile");
#endif
}

HOSTILE_EXPORT void __cdecl SetIDTagElement(const char*, const char*, const char*) {
    Misbehave();
}
