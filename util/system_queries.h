// The thread's message queue, starting programs, and queries of the running
// system: version, screen resolution scaling and a DLL's version.
#pragma once

#include <cstdint>

// Delivers every waiting message of the calling thread; never waits.
void DrainMessageQueue();

// Starts commandLine (writable: the platform may edit it in place) and,
// with wait, returns only after the program has ended. False when it could
// not be started.
bool LaunchProcess(char* commandLine, bool wait);

// True on versions 5.1 and 5.2 of the system.
bool IsWindowsXpFamily();

// Lengths in 96-dpi units for the screen's resolution, which is read once
// per process and kept.
std::int32_t ScaleForDpiX(std::int32_t length);
std::int32_t ScaleForDpiY(std::int32_t length);
// Replaces the kept resolutions, for tests that need another screen; -1
// makes the next scaling read the screen again.
void SetCachedScreenDpi(std::int32_t x, std::int32_t y);

// The version that a library reports through its DllGetVersion export:
// major in the high 16 bits, minor in the low 16 bits; 0 when the library
// cannot be loaded, lacks the export or reports a failure.
std::uint32_t QueryDllVersion(const char* libraryName);
