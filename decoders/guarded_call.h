// Calls into decoder plugins, which are outside this module, must never take
// the host process down with them. A guarded call runs a body and reports
// whether it came back normally; a structured exception raised inside it (an
// access violation, a division by zero, or a C++ exception of a plugin whose
// compiler raises them as structured exceptions) ends the body at once and
// the call reports false. So does the abort of a plugin whose own runtime
// gives up on a C++ exception escaping its entry point.
//
// The guard is a structured-exception frame of our own: on the thread's
// registration chain at 32 bits, described by unwind data at 64 bits. Its
// handler unwinds the frames above it and resumes GuardedCall. Nothing of
// the body's own stack is cleaned up, so the body should hold no objects
// with destructors: call the plugin and copy results.
//
// Aborts reach us through the C run-time's SIGABRT handler, which is the
// process's. The first guarded call puts ours there and it stays until
// ReleaseAbortGuard: an abort on a thread that is inside a guarded call ends
// that call; any other abort goes to the handler the host had set, as if ours
// were not there.
#pragma once

#include <type_traits>

using GuardedBody = void (*)(void* context);

bool GuardedCall(GuardedBody body, void* context);

// Puts back the host's SIGABRT handler, unless the host has replaced ours
// meanwhile. For the module's unload: nothing of ours may stay in the
// run-time's table after it. A later guarded call installs the guard again.
void ReleaseAbortGuard();

// Convenience for a lambda or other callable. The callable must not throw.
template <typename Callable>
bool Guarded(Callable&& callable) {
    return GuardedCall(
        [](void* context) noexcept { (*static_cast<std::remove_reference_t<Callable>*>(context))(); },
        const_cast<void*>(static_cast<const void*>(&callable)));
}
