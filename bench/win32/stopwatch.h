// Wall-clock seconds from the performance counter: the timing programs run
// under Wine, where the process's CPU time is not what the user waits for.
#pragma once

#include <windows.h>

inline double SecondsNow() {
    static const double ticksPerSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerSecond;
}
