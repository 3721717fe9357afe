// A decoder plugin must not end the host from inside one of our calls. The
// ways a plugin ends a process through a function we can see are its own
// imports of abort, exit, _exit and _Exit from a C run-time (msvcrt and its
// versioned kin, ucrtbase, the api-ms-win-crt sets) and of ExitProcess from
// kernel32. While a decoder is intercepted, those import slots of its own
// point at functions of ours: called inside a guarded call on that thread,
// ours ends the guarded call as failed; called anywhere else (the host
// decoding with the same plugin, say), ours passes straight on to the
// function the slot held, which ends the process as it would have.
//
// Nothing process-wide is touched: no signal table, no other module's slots.
// A slot that does not hold the run-time's own function (someone else points
// it elsewhere) is left alone.
#pragma once

#include <windows.h>

// Points the decoder's process-ending imports at ours. Counted: a decoder
// held by several catalogues stays intercepted until the last lets it go.
void InterceptProcessEndings(HMODULE decoder);

// Puts back what the slots held, once every holder has let the decoder go.
// Slots that someone else changed after us keep their new target.
void RestoreProcessEndings(HMODULE decoder);
