#include "decoders/guarded_call.h"

#include <windows.h>

#include <atomic>
#include <csignal>

#include "decoders/guarded_frame.h"

namespace {

// A plugin built with a compiler whose C++ exceptions are not structured
// exceptions cannot be stopped on the way out: when one of its exceptions
// escapes an entry point, its own runtime finds no handler and aborts. The
// abort raises SIGABRT in the C runtime that the plugins share with this
// module; inside a guarded call that signal is turned into a structured
// exception, which the guard then stops like any fault.
constexpr DWORD kPluginAbortedCode = 0xE0504154;

using AbortHandler = void(__cdecl*)(int);

extern "C" void __cdecl OnAbortSignal(int signalNumber);

// The run-time's table can only be read by writing it, and it resets a
// handler to the default just before calling it. So the guard goes in at
// the first guarded call and stays until the module unloads; it re-arms
// itself first thing when called, and every guarded call puts it back if the
// host has put a handler of its own over it, which then becomes the host's
// handler for the host's own aborts. A default found there is never taken
// for the host's choice: it may be another thread's abort on its way into
// our handler.
SRWLOCK guardLock = SRWLOCK_INIT;
std::atomic<bool> guardArmed{false};  // changed under guardLock
// The host's own handler, for aborts outside our calls. Never ours.
std::atomic<AbortHandler> hostAbortHandler{SIG_DFL};

bool IsHostsChoice(AbortHandler found) {
    return found != OnAbortSignal && found != SIG_ERR && found != SIG_DFL;
}

AbortHandler ArmAbortGuard() { return std::signal(SIGABRT, OnAbortSignal); }

void TakeOverAborts() {
    if (guardArmed) {
        const AbortHandler found = ArmAbortGuard();
        if (IsHostsChoice(found)) hostAbortHandler = found;
        return;
    }
    AcquireSRWLockExclusive(&guardLock);
    const AbortHandler found = ArmAbortGuard();
    if (!guardArmed) {
        hostAbortHandler = found == OnAbortSignal || found == SIG_ERR ? SIG_DFL : found;
        guardArmed = true;
    } else if (IsHostsChoice(found)) {
        hostAbortHandler = found;
    }
    ReleaseSRWLockExclusive(&guardLock);
}

// An abort outside our calls is the host's own: its handler decides, and it
// stays the host's handler afterwards, as if ours had never been there.
void PassAbortToHost(int signalNumber) {
    const AbortHandler host = hostAbortHandler;
    if (host == SIG_IGN) return;
    if (host == SIG_DFL) {
        std::signal(SIGABRT, SIG_DFL);
        std::raise(signalNumber);  // the run-time's own ending
        return;
    }
    host(signalNumber);
    // The run-time took ours out before the call, and a host's handler that
    // installs itself again would have replaced it: take the guard's place
    // back, keeping any new handler the host chose as the host's.
    const AbortHandler found = ArmAbortGuard();
    if (IsHostsChoice(found)) hostAbortHandler = found;
}

extern "C" void __cdecl OnAbortSignal(int signalNumber) {
    // First: until this runs, another thread's abort finds the default.
    ArmAbortGuard();
    if (InsideGuardFrame()) {
        RaiseException(kPluginAbortedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    PassAbortToHost(signalNumber);
}

}  // namespace

bool GuardedCall(GuardedBody body, void* context) {
    TakeOverAborts();
    return RunInGuardFrame(body, context);
}

void ReleaseAbortGuard() {
    AcquireSRWLockExclusive(&guardLock);
    if (guardArmed) {
        const AbortHandler current = std::signal(SIGABRT, hostAbortHandler);
        // A handler the host installed over ours stays in force.
        if (current != OnAbortSignal) std::signal(SIGABRT, current);
        guardArmed = false;
    }
    ReleaseSRWLockExclusive(&guardLock);
}
