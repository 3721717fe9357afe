// Calls into decoder plugins, which are outside this module, must never take
// the host process down with them. A guarded call runs a body and reports
// whether it came back normally; a structured exception raised inside it (an
// access violation, a stack overflow, a division by zero, or a C++ exception
// of a plugin whose compiler raises them as structured exceptions) ends the
// body at once and the call reports false. So does a decoder's call of one
// of the run-time's process-ending functions (process_endings.h), which is
// how a plugin whose own runtime gives up on an escaping C++ exception ends.
//
// The guard is a structured-exception frame of our own: on the thread's
// registration chain at 32 bits, described by unwind data at 64 bits. Its
// handler unwinds the frames above it and resumes GuardedCall. Nothing of
// the body's own stack is cleaned up, so the body should hold no objects
// with destructors: call the plugin and copy results.
//
// The C run-time's signal table is the host's alone: nothing here installs
// a handler, so the host's own aborts and handlers work as without us.
#pragma once

#include <type_traits>

using GuardedBody = void (*)(void* context);

bool GuardedCall(GuardedBody body, void* context);

// Ends the guarded call that the calling thread is inside, as failed; does
// nothing on a thread that is inside none.
void EndGuardedCallIfInside();

// Convenience for a lambda or other callable. The callable must not throw.
template <typename Callable>
bool Guarded(Callable&& callable) {
    return GuardedCall(
        [](void* context) noexcept { (*static_cast<std::remove_reference_t<Callable>*>(context))(); },
        const_cast<void*>(static_cast<const void*>(&callable)));
}
