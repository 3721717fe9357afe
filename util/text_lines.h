// Multi-line texts as drawn by the text helpers: lines end at a carriage
// return, and line feeds directly after it belong to that line break.
#pragma once

#include <cstdint>

// A heap copy of line index (from 0) of text, to be released with delete[];
// null when the text has fewer lines. An empty text has no lines, and a
// final line break does not start another one.
char* GetLine(std::int32_t index, const char* text);
