#include "decoders/guarded_call.h"

#include <windows.h>

#include <intrin.h>

#include <csignal>

namespace {

// A plugin built with a compiler whose C++ exceptions are not structured
// exceptions cannot be stopped on the way out: when one of its exceptions
// escapes an entry point, its own runtime finds no handler and aborts. The
// abort raises SIGABRT in the C runtime that the plugins share with this
// module; inside a guarded call that signal is turned into a structured
// exception, which the guard then stops like any fault.
constexpr DWORD kPluginAbortedCode = 0xE0504154;

thread_local int guardDepth = 0;
void(__cdecl* previousAbortHandler)(int) = SIG_DFL;

extern "C" void __cdecl OnAbortSignal(int signalNumber) {
    if (guardDepth > 0) {
        std::signal(SIGABRT, OnAbortSignal);  // the runtime resets it before calling
        RaiseException(kPluginAbortedCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    std::signal(SIGABRT, previousAbortHandler);
    std::raise(signalNumber);
}

void CatchPluginAborts() {
    static const bool installed = [] {
        previousAbortHandler = std::signal(SIGABRT, OnAbortSignal);
        if (previousAbortHandler == SIG_ERR) previousAbortHandler = SIG_DFL;
        return true;
    }();
    (void)installed;
}

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
    --guardDepth;
    __builtin_longjmp(frame->resume, 1);
}

}  // namespace

// Not inlined: the frame must live exactly as long as this call.
__attribute__((noinline)) bool GuardedCall(GuardedBody body, void* context) {
    CatchPluginAborts();
    GuardFrame frame;
    frame.previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    if (__builtin_setjmp(frame.resume) != 0) return false;
    __writefsdword(0, reinterpret_cast<DWORD>(&frame));
    ++guardDepth;
    body(context);
    --guardDepth;
    __writefsdword(0, reinterpret_cast<DWORD>(frame.previous));
    return true;
}
