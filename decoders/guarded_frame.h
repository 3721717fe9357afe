// The architecture's own half of the guarded call (guarded_frame_x86.cpp,
// guarded_frame_x64.cpp): the exception frame around the body, and the
// question whether the calling thread is inside one.
#pragma once

#include <windows.h>

#include "decoders/guarded_call.h"

// Runs body(context) under the frame; false when an exception ended it.
bool RunInGuardFrame(GuardedBody body, void* context);

// Whether one of our frames is on the calling thread's stack. The stack is
// the thread's own, so the answer needs no list and no thread-local storage,
// and a thread that ended inside a call leaves nothing behind.
bool InsideGuardFrame();

// The calling thread's information block, through its self pointer (the
// compiler's own segment reads at constant offsets draw a false bounds
// warning).
inline const NT_TIB* ThreadInformationBlock() {
    const NT_TIB* block;
#if defined(__i386__)
    __asm__("movl %%fs:0x18, %0" : "=r"(block));
#else
    __asm__("movq %%gs:0x30, %0" : "=r"(block));
#endif
    return block;
}
