// The C++ runtime linked into this DLL registers its exception-unwinding
// tables at every load, and does so under pthread_once of the static
// threading library. That pthread_once sets up the library's record of the
// calling thread (a thread-local-storage index and two handles), which
// nothing gives back when the DLL unloads: a host that loads and unloads the
// plugin runs out of TLS indexes after about a thousand loads. The DLL is
// linked with --wrap=pthread_once, so every call of the runtime lands here
// instead and runs once through the platform's own one-time initialization,
// which keeps nothing per thread.
#include <windows.h>

#include <cerrno>

namespace {

// The threading library's once flag is one long, zero before the first run;
// the platform's one-time record is one pointer, zero before the first run.
static_assert(sizeof(long) == sizeof(INIT_ONCE));

BOOL CALLBACK RunOnce(INIT_ONCE*, void* function, void**) {
    reinterpret_cast<void (*)()>(function)();
    return TRUE;
}

}  // namespace

extern "C" int __wrap_pthread_once(long* once, void (*function)()) {
    if (once == nullptr || function == nullptr) return EINVAL;
    InitOnceExecuteOnce(reinterpret_cast<INIT_ONCE*>(once), RunOnce,
                        reinterpret_cast<void*>(function), nullptr);
    return 0;
}
