#include "decoders/guarded_call.h"

#include <windows.h>

#include <intrin.h>

namespace {

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

}  // namespace

// Not inlined: the frame must live exactly as long as this call.
__attribute__((noinline)) bool GuardedCall(GuardedBody body, void* context) {
    GuardFrame frame;
    frame.previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    if (__builtin_setjmp(frame.resume) != 0) return false;
    __writefsdword(0, reinterpret_cast<DWORD>(&frame));
    body(context);
    __writefsdword(0, reinterpret_cast<DWORD>(frame.previous));
    return true;
}
