// A library that reports a fixed version through DllGetVersion, or, built
// with PROBE_FAILS, refuses to report one.
#include <windows.h>

#include <shlwapi.h>

extern "C" __declspec(dllexport) HRESULT CALLBACK DllGetVersion(DLLVERSIONINFO* info) {
#ifdef PROBE_FAILS
    (void)info;
    return E_FAIL;
#else
    if (info == nullptr || info->cbSize != sizeof *info) return E_INVALIDARG;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 1234;
    info->dwPlatformID = 2;
    return S_OK;
#endif
}
