// Linked into a test program, this takes the place of the program's
// operator new and delete: it counts the blocks alive and fails one
// allocation on request, so that a test can drive code through each of its
// allocation failures. The C++ library's nothrow forms call these and answer
// null for a failure.
#pragma once

// Makes the count-th allocation from now fail (1: the next one); 0 fails
// none. Each call starts a new count.
void FailAllocationAfter(long count);
// Whether the failure asked for has happened.
bool AllocationFailed();
// Blocks allocated and not yet freed.
long LiveBlocks();
