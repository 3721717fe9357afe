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

bool AppendBackslash(PathText& path) {
    if (path.Empty() || path.Last() == '\\') return true;
    if (path.Length() == PathText::kMaxLength) return false;
    return path.Append('\\');
}

bool GetFileNamePart(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t start = AfterLastBackslash(path, length);
    return out.Assign(path + start, length - start);
}

bool GetFolderPart(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t end = AfterLastBackslash(path, length);
    return out.Assign(path, end ? end : length);
}

bool StripExtension(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    return out.Assign(path, StemLength(path, length));
}

bool GetExtension(const char* path, PathText& out) {
    const std::size_t length = std::strlen(path);
    const std::size_t stem = StemLength(path, length);
    if (stem == length) return out.Assign(".");
    return out.Assign(path + stem, length - stem);
}

bool GetBaseName(const char* path, PathText& out) {
    // Taken straight from the path, so an overlong folder part cannot push
    // the file name out of a bounded work buffer.
    const std::size_t stem = StemLength(path, std::strlen(path));
    const std::size_t start = AfterLastBackslash(path, stem);
    return out.Assign(path + start, stem - start);
}

bool GetLastFolderName(const char* path, PathText& out) {
    std::size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\') --length;
    const std::size_t start = AfterLastBackslash(path, length);
    if (start == 0) {
        out.Clear();
        return true;
    }
    return out.Assign(path + start, length - start);
}

bool CopyStringBounded(char* out, const char* source, std::size_t size) {
    return BoundedCopy(out, size, source, std::strlen(source));
}
