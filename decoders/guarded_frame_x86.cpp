// At 32 bits a structured-exception frame is a record on the thread's
// registration chain, which starts at fs:[0]. Ours carries a jump buffer
// after the record, so that its handler finds the way back from the frame
// address alone.
#include <windows.h>

#include <intrin.h>

#include <cstddef>

#include "decoders/guarded_frame.h"

namespace {

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
__attribute__((noinline)) bool RunInGuardFrame(GuardedBody body, void* context) {
    GuardFrame frame;
    frame.previous = reinterpret_cast<GuardFrame*>(__readfsdword(0));
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    if (__builtin_setjmp(frame.resume) != 0) return false;
    __writefsdword(0, reinterpret_cast<DWORD>(&frame));
    body(context);
    __writefsdword(0, reinterpret_cast<DWORD>(frame.previous));
    return true;
}

// Only records within the thread's stack, each above the last, are
// followed, as the platform's own dispatcher does; the chain ends with
// 0xFFFFFFFF, which is outside every stack.
bool InsideGuardFrame() {
    const NT_TIB* thread = ThreadInformationBlock();
    const auto* low = static_cast<const char*>(thread->StackLimit);
    const auto* high = static_cast<const char*>(thread->StackBase);
    constexpr std::size_t kRecordSize = offsetof(GuardFrame, resume);
    const char* last = low;
    for (auto* frame = reinterpret_cast<const GuardFrame*>(thread->ExceptionList);;
         frame = frame->previous) {
        const auto* at = reinterpret_cast<const char*>(frame);
        if (at < last || at > high - kRecordSize) return false;
        if (frame->handler == reinterpret_cast<void*>(&GuardHandler)) return true;
        last = at + kRecordSize;
    }
}
