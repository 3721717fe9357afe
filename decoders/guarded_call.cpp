#include "decoders/guarded_call.h"

#include <windows.h>

#include <intrin.h>

#include <csignal>
#include <cstddef>

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
// found.
SRWLOCK abortHandlerLock = SRWLOCK_INIT;
int guardedCallsRunning = 0;  // under abortHandlerLock
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

// The calling thread's information block, through its self pointer (the
// compiler's fs reads at constant offsets draw a false bounds warning).
const NT_TIB* ThreadInformationBlock() {
    const NT_TIB* block;
    __asm__("movl %%fs:0x18, %0" : "=r"(block));
    return block;
}

// Whether the calling thread is inside a guarded call: one of our frames is
// on its exception registration chain. The chain is the thread's own, so it
// answers without any thread-local storage. Only records within the thread's
// stack are followed, as the platform's own dispatcher does.
bool InsideGuardedCall() {
    const NT_TIB* thread = ThreadInformationBlock();
    const auto* low = static_cast<const char*>(thread->StackLimit);
    const auto* high = static_cast<const char*>(thread->StackBase);
    // Only the registration record (previous and handler) is read.
    constexpr std::size_t kRecordSize = offsetof(GuardFrame, resume);
    for (auto* frame = reinterpret_cast<const GuardFrame*>(thread->ExceptionList);
         reinterpret_cast<const char*>(frame) >= low &&
         reinterpret_cast<const char*>(frame) + kRecordSize <= high;
         frame = frame->previous) {
        if (frame->handler == reinterpret_cast<void*>(&GuardHandler)) return true;
    }
    return false;
}

extern "C" void __cdecl OnAbortSignal(int signalNumber) {
    if (InsideGuardedCall()) {
        // The runtime resets the handler before calling it; this thread's
        // guarded call still counts as running, so no one else restores the
        // table meanwhile.
        std::signal(SIGABRT, OnAbortSignal);
        RaiseException(kPluginAbortedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    // An abort outside our calls is the host's own: its handler decides.
    std::signal(SIGABRT, previousAbortHandler);
    std::raise(signalNumber);
}

void TakeOverAborts() {
    AcquireSRWLockExclusive(&abortHandlerLock);
    if (guardedCallsRunning++ == 0) {
        previousAbortHandler = std::signal(SIGABRT, OnAbortSignal);
        if (previousAbortHandler == SIG_ERR) previousAbortHandler = SIG_DFL;
    }
    ReleaseSRWLockExclusive(&abortHandlerLock);
}

void HandBackAborts() {
    AcquireSRWLockExclusive(&abortHandlerLock);
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
    TakeOverAborts();
    GuardFrame frame;
    frame.previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    if (__builtin_setjmp(frame.resume) != 0) {
        HandBackAborts();
        return false;
    }
    __writefsdword(0, reinterpret_cast<DWORD>(&frame));
    body(context);
    __writefsdword(0, reinterpret_cast<DWORD>(frame.previous));
    HandBackAborts();
    return true;
}
