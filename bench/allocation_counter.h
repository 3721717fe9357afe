// Counts the calls of malloc, calloc and realloc (operator new ends in malloc)
// made by the program this is linked into, so that a benchmark or a test can
// show that a piece of code allocates nothing.
#pragma once

#include <cstdint>

std::uint64_t AllocationCount();
