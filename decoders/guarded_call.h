// Calls into decoder plugins, which are outside this module, must never take
// the host process down with them. A guarded call runs a body and reports
// whether it came back normally; a structured exception raised inside it (an
// access violation, a division by zero, or a C++ exception thrown by a plugin
// built with a compiler that raises them as structured exceptions) ends the
// body at once and the call reports false. So does the abort of a plugin
// whose own runtime gives up on a C++ exception escaping its entry point.
//
// The guard is a structured-exception frame of our own on the thread's
// frame chain; its handler unwinds the frames above it and jumps back into
// GuardedCall. Nothing of the body's own stack is cleaned up, so the body
// should hold no objects with destructors: call the plugin and copy results.
#pragma once

#include <type_traits>

using GuardedBody = void (*)(void* context);

bool GuardedCall(GuardedBody body, void* context);

// Convenience for a lambda or other callable. The callable must not throw:
// a C++ exception of this module leaving it aborts, and the abort ends the
// guarded call.
template <typename Callable>
bool Guarded(Callable&& callable) {
    return GuardedCall(
        [](void* context) noexcept { (*static_cast<std::remove_reference_t<Callable>*>(context))(); },
        const_cast<void*>(static_cast<const void*>(&callable)));
}
