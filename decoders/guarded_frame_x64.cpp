// At 64 bits a structured-exception frame is described by the function's
// unwind data, so the frame is a function of its own, written here in
// assembly: its unwind data names GuardFrameHandler, and the handler unwinds
// the stack back into it with RtlUnwindEx, at the label after the body's
// call, with 0 as the result.
#include <windows.h>

#include "decoders/guarded_frame.h"

extern "C" {
bool GuardFrameCall(GuardedBody body, void* context);
extern const char GuardFrameResume[];
}

asm(R"(
    .text
    .p2align 4
    .globl GuardFrameCall
    .def GuardFrameCall; .scl 2; .type 32; .endef
    .seh_proc GuardFrameCall
GuardFrameCall:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_handler GuardFrameHandler, @except
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    movl $1, %eax
    .globl GuardFrameResume
GuardFrameResume:
    addq $40, %rsp
    ret
    .seh_endproc
)");

extern "C" __attribute__((used)) EXCEPTION_DISPOSITION GuardFrameHandler(
    EXCEPTION_RECORD* record, void* establisherFrame, CONTEXT* context,
    DISPATCHER_CONTEXT* dispatch) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        return ExceptionContinueSearch;
    }
    RtlUnwindEx(establisherFrame, const_cast<char*>(GuardFrameResume), record, nullptr,
                context, dispatch->HistoryTable);
    return ExceptionContinueSearch;  // RtlUnwindEx does not come back
}

bool RunInGuardFrame(GuardedBody body, void* context) { return GuardFrameCall(body, context); }

// Walks the calling thread's frames by their unwind data, as the platform's
// dispatcher does, up to the stack's base; a frame that does not move the
// stack up ends the walk.
bool InsideGuardFrame() {
    const NT_TIB* thread = ThreadInformationBlock();
    const auto low = reinterpret_cast<DWORD64>(thread->StackLimit);
    const auto high = reinterpret_cast<DWORD64>(thread->StackBase);
    const auto guardFrame = reinterpret_cast<DWORD64>(&GuardFrameCall);
    CONTEXT context;
    RtlCaptureContext(&context);
    for (;;) {
        const DWORD64 stack = context.Rsp;
        if (stack < low || stack >= high || context.Rip == 0) return false;
        DWORD64 imageBase = 0;
        RUNTIME_FUNCTION* function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (function == nullptr) {
            // A leaf function: its return address is on top of the stack.
            context.Rip = *reinterpret_cast<const DWORD64*>(stack);
            context.Rsp = stack + 8;
            continue;
        }
        if (imageBase + function->BeginAddress == guardFrame) return true;
        void* handlerData = nullptr;
        DWORD64 establisherFrame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context,
                         &handlerData, &establisherFrame, nullptr);
        if (context.Rsp <= stack) return false;
    }
}
