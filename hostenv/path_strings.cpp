#include "hostenv/path_strings.h"

#include <cstring>

namespace {

// Index just past the last backslash of text[0, length), or 0 without one.
std::size_t AfterLastBackslash(const char* text, std::size_t length) {
    for (std::size_t i = length; i > 0; --i) {
        if (text[i - 1] == '\\') return i;
    }
    return 0;
}

}  // namespace

std::size_t StemLength(const char* path, std::size_t length) {
    for (std::size_t i = length; i > 0; --i) {
        const char c = path[i - 1];
        if (c == '.') return i - 1;
        if (c == '\\') break;
    }
    return length;
}

void AppendBackslash(PathText& path) {
    if (!path.Empty() && path.Last() != '\\' &&
        path.Length() < PathText::kMaxLength) {
        path.Append('\\');
    }
}

void GetFileNamePart(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t start = AfterLastBackslash(path, length);
    out.Assign(path + start, length - start);
}

void GetFolderPart(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t end = AfterLastBackslash(path, length);
    out.Assign(path, end ? end : length);
}

void StripExtension(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    out.Assign(path, StemLength(path, length));
}

void GetExtension(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t stem = StemLength(path, length);
    if (stem == length) {
        out.Assign(".");
    } else {
        out.Assign(path + stem, length - stem);
    }
}

void GetBaseName(const char* path, PathText& out) {
    // Taken straight from the path, so an overlong folder part cannot push
    // the file name out of a bounded work buffer.
    const std::size_t stem = StemLength(path, std::strlen(path));
    const std::size_t start = AfterLastBackslash(path, stem);
    out.Assign(path + start, stem - start);
}

void GetLastFolderName(const char* path, PathText& out) {
    std::size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\') --length;
    const std::size_t start = AfterLastBackslash(path, length);
    if (start == 0) {
        out.Clear();
    } else {
        out.Assign(path + start, length - start);
    }
}

void CopyStringBounded(char* out, const char* source, std::size_t size) {
    BoundedCopy(out, size, source, std::strlen(source));
}
