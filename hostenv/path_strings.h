// Path strings: splitting a backslash-separated path into folder, file name,
// base name and extension, appending a missing backslash, and bounded copies.
// No file system is touched and no state is kept.
//
// Every result lands in a PathText (260 characters with the terminator). A
// result that would not fit keeps its first 259 characters, and the helper
// answers false: the caller decides what a cut means to it. The input itself
// is never overrun. The output may be the same object as the input.
#pragma once

#include <cstddef>

#include "util/fixed_text.h"

// Appends "\" to a non-empty text that does not end in one. A text that
// already fills its buffer has no room left, stays as it is and answers
// false.
[[nodiscard]] bool AppendBackslash(PathText& path);

// The text after the last backslash; the whole path when it has none.
[[nodiscard]] bool GetFileNamePart(const char* path, PathText& out);

// The path cut just after its last backslash (which stays); a path without
// a backslash is copied whole.
[[nodiscard]] bool GetFolderPart(const char* path, PathText& out);

// The path without its final extension. The last "." counts only when it
// comes after the last backslash: C:\My.Music\Song keeps its dot.
[[nodiscard]] bool StripExtension(const char* path, PathText& out);

// The final extension with its dot; a lone "." when the file name has none.
[[nodiscard]] bool GetExtension(const char* path, PathText& out);

// The file name without folder and extension.
[[nodiscard]] bool GetBaseName(const char* path, PathText& out);

// The name of the last folder of a folder path, with or without its trailing
// backslash: C:\a\b\ and C:\a\b both give b; C:\ and b give an empty text.
[[nodiscard]] bool GetLastFolderName(const char* path, PathText& out);

// Copies source into out (size bytes): whole when it has at most size-1
// characters, otherwise its first size-1 characters. A size of 0 writes
// nothing. True when nothing was cut.
[[nodiscard]] bool CopyStringBounded(char* out, const char* source, std::size_t size);

// Length of the part of a path that StripExtension keeps; the extension is
// what follows it.
std::size_t StemLength(const char* path, std::size_t length);
