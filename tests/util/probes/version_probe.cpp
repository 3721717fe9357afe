// A library that reports a fixed version through DllGetVersion, or, built
// with PROBE_FAILS, refuses to report one.
#include <windows.h>

struct DllVersionInfo {
    DWORD size;
    DWORD major;
    DWORD minor;
    DWORD buildNumber;
    DWORD platformId;
};

extern "C" __declspec(dllexport) HRESULT CALLBACK DllGetVersion(DllVersionInfo* info) {
#ifdef PROBE_FAILS
    (void)info;
    return E_FAIL;
#else
    if (info == nullptr || info->size != sizeof *info) return E_INVALIDARG;
    info->major = 6;
    info->minor = 0;
    info->buildNumber = 1234;
    info->platformId = 2;
    return S_OK;
#endif
}
