// Path strings: splitting a backslash-separated path into folder, file name,
// base name and extension, appending a missing backslash, and bounded copies.
// No file system is touched and no state is kept.
//
// Every result lands in a PathText (260 characters with the terminator). A
// result that would not fit keeps its first 259 characters; the input itself
// is never overrun. The output may be the same object as the input.
#pragma once

#include <cstddef>

#include "util/fixed_text.h"

// Appends "\" to a non-empty text that does not end in one. A text that
// already fills its buffer has no room left and stays as it is.
void AppendBackslash(PathText& path);

// The text after the last backslash; the whole path when it has none.
void GetFileNamePart(const char* path, PathText& out);

// The path cut just after its last backslash (which stays); a path without
// a backslash is copied whole.
void GetFolderPart(const char* path, PathText& out);

// The path without its final extension. The last "." counts only when it
// comes after the last backslash: C:\My.Music\Song keeps its dot.
void StripExtension(const char* path, PathText& out);

// The final extension with its dot; a lone "." when the file name has none.
void GetExtension(const char* path, PathText& out);

// The file name without folder and extension.
void GetBaseName(const char* path, PathText& out);

// The name of the last folder of a folder path, with or without its trailing
// backslash: C:\a\b\ and C:\a\b both give b; C:\ and b give an empty text.
void GetLastFolderName(const char* path, PathText& out);

// Copies source into out (size bytes): whole when it has at most size-1
// characters, otherwise its first size-1 characters. A size of 0 writes
// nothing.
void CopyStringBounded(char* out, const char* source, std::size_t size);

// Length of the part of a path that StripExtension keeps; the extension is
// what follows it.
std::size_t StemLength(const char* path, std::size_t length);
