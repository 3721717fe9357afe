#include "util/system_queries.h"

#include <windows.h>

#include <shlwapi.h>

#include "util/system_rules.h"

namespace {

constexpr std::int32_t kNotRead = -1;
std::int32_t cachedDpiX = kNotRead;
std::int32_t cachedDpiY = kNotRead;

std::int32_t ScreenDpi(std::int32_t& cache, int index) {
    if (cache == kNotRead) {
        const HDC screen = GetDC(nullptr);
        cache = GetDeviceCaps(screen, index);
        ReleaseDC(nullptr, screen);
    }
    return cache;
}


}  // namespace

void DrainMessageQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool LaunchProcess(char* commandLine, bool wait) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    if (wait) WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

bool IsWindowsXpFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    return IsXpFamilyVersion(version.dwMajorVersion, version.dwMinorVersion);
}

std::int32_t ScaleForDpiX(std::int32_t length) {
    return ScaleLengthX(length, ScreenDpi(cachedDpiX, LOGPIXELSX));
}

std::int32_t ScaleForDpiY(std::int32_t length) {
    return ScaleLengthY(length, ScreenDpi(cachedDpiY, LOGPIXELSY));
}

void SetCachedScreenDpi(std::int32_t x, std::int32_t y) {
    cachedDpiX = x;
    cachedDpiY = y;
}

std::uint32_t QueryDllVersion(const char* libraryName) {
    const HMODULE library = LoadLibraryA(libraryName);
    if (library == nullptr) return 0;
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    std::uint32_t version = 0;
    if (getVersion != nullptr) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof info;
        if (SUCCEEDED(getVersion(&info))) {
            version = PackDllVersion(info.dwMajorVersion, info.dwMinorVersion);
        }
    }
    FreeLibrary(library);
    return version;
}
