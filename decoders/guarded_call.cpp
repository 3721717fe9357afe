#include "decoders/guarded_call.h"

#include <windows.h>

#include <intrin.h>

#include <algorithm>
#include <csignal>

namespace {

// A plugin built with a compiler whose C++ exceptions are not structured
// exceptions cannot be stopped on the way out: when one of its exceptions
// escapes an entry point, its own runtime finds no handler and aborts. The
// abort raises SIGABRT in the C runtime that the plugins share with this
// module; inside a guarded call that signal is turned into a structured
// exception, which the guard then stops like any fault.
constexpr DWORD kPluginAbortedCode = 0xE0504154;

// The C runtime's signal table belongs to the process and outlives this
// module, so our handler is in it only while some thread is inside a guarded
// call: the first call in installs it, the last one out puts back what it
// found. Each running call lists its thread, so that the handler can tell a
// plugin's abort from the host's without thread-local storage.
constexpr int kMaxGuardedCalls = 64;
SRWLOCK abortHandlerLock = SRWLOCK_INIT;
// Under abortHandlerLock.
DWORD guardedThreads[kMaxGuardedCalls];
int guardedCallsRunning = 0;
void(__cdecl* previousAbortHandler)(int) = SIG_DFL;

// The first two fields are the platform's exception registration record; the
// jump buffer follows so that the handler finds it from the frame address.
struct GuardFrame {
    GuardFrame* previous;
    void* handler;
    void* resume[5];  // __builtin_setjmp buffer
};

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record,
                                                      void* establisherFrame,
                                                      CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        return ExceptionContinueSearch;
    }
    auto* frame = static_cast<GuardFrame*>(establisherFrame);
    // Lets the frames that the body registered above ours run their unwind
    // handlers, and leaves ours on top of the chain.
    RtlUnwind(frame, nullptr, record, nullptr);
    __writefsdword(0, reinterpret_cast<DWORD>(frame->previous));
    __builtin_longjmp(frame->resume, 1);
}

bool InsideGuardedCall() {
    const DWORD thread = GetCurrentThreadId();
    AcquireSRWLockShared(&abortHandlerLock);
    const bool inside =
        std::find(guardedThreads, guardedThreads + guardedCallsRunning, thread) !=
        guardedThreads + guardedCallsRunning;
    ReleaseSRWLockShared(&abortHandlerLock);
    return inside;
}

extern "C" void __cdecl OnAbortSignal(int signalNumber) {
    if (InsideGuardedCall()) {
        // The runtime resets the handler before calling it; this thread's
        // guarded call still counts as running, so no one else restores the
        // table meanwhile.
        std::signal(SIGABRT, OnAbortSignal);
        RaiseException(kPluginAbortedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    // An abort outside our calls is the host's own: its handler decides, as
    // if ours had never been installed.
    const auto previous = previousAbortHandler;
    if (previous == SIG_IGN) return;
    std::signal(SIGABRT, SIG_DFL);
    if (previous == SIG_DFL) {
        std::raise(signalNumber);  // the runtime's own ending
    } else {
        previous(signalNumber);
    }
}

// False when the list is full: the call is then still guarded against
// faults, but an abort inside it is left to the host.
bool TakeOverAborts() {
    AcquireSRWLockExclusive(&abortHandlerLock);
    const bool listed = guardedCallsRunning < kMaxGuardedCalls;
    if (listed) {
        if (guardedCallsRunning == 0) {
            previousAbortHandler = std::signal(SIGABRT, OnAbortSignal);
            if (previousAbortHandler == SIG_ERR) previousAbortHandler = SIG_DFL;
        }
        guardedThreads[guardedCallsRunning++] = GetCurrentThreadId();
    }
    ReleaseSRWLockExclusive(&abortHandlerLock);
    return listed;
}

void HandBackAborts(bool listed) {
    if (!listed) return;
    AcquireSRWLockExclusive(&abortHandlerLock);
    DWORD* last = guardedThreads + guardedCallsRunning - 1;
    std::swap(*std::find(guardedThreads, last, GetCurrentThreadId()), *last);
    if (--guardedCallsRunning == 0) {
        const auto current = std::signal(SIGABRT, previousAbortHandler);
        // A handler the host installed meanwhile stays in force.
        if (current != OnAbortSignal) std::signal(SIGABRT, current);
    }
    ReleaseSRWLockExclusive(&abortHandlerLock);
}

}  // namespace

// Not inlined: the frame must live exactly as long as this call.
__attribute__((noinline)) bool GuardedCall(GuardedBody body, void* context) {
    const bool listed = TakeOverAborts();
    GuardFrame frame;
    frame.previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    if (__builtin_setjmp(frame.resume) != 0) {
        HandBackAborts(listed);
        return false;
    }
    __writefsdword(0, reinterpret_cast<DWORD>(&frame));
    body(context);
    __writefsdword(0, reinterpret_cast<DWORD>(frame.previous));
    HandBackAborts(listed);
    return true;
}
