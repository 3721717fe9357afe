// The architecture's own half of the guarded call (guarded_frame_x86.cpp,
// guarded_frame_x64.cpp): the exception frame around the body, and the
// question whether the calling thread is inside one.
#pragma once

#include "decoders/guarded_call.h"

// Runs body(context) under the frame; false when an exception ended it.
bool RunInGuardFrame(GuardedBody body, void* context);

// Whether one of our frames is on the calling thread's stack. The stack is
// the thread's own, so the answer needs no list and no thread-local storage,
// and a thread that ended inside a call leaves nothing behind.
bool InsideGuardFrame();
