#include "hostenv/folder_tree_walk.h"

#include <cstring>

namespace {

// Index of the first backslash at or after from, or length without one.
std::size_t NextBackslash(const char* text, std::size_t from, std::size_t length) {
    while (from < length && text[from] != '\\') ++from;
    return from;
}

// Index of the backslash that ends the root, or length when there is none.
std::size_t RootEnd(const char* text, std::size_t length) {
    std::size_t position = 0;
    if (length >= 2 && text[0] == '\\' && text[1] == '\\') {
        position = NextBackslash(text, 2, length);  // ends the server name
        if (position == length) return length;
    }
    return NextBackslash(text, position + 1, length);
}

}  // namespace

void FolderTreeWalk::GetFolder(std::size_t i, PathText& out) const {
    // A prefix of a path text always fits another.
    out.AssignOrCut(path.CStr(), prefixLengths[i]);
}

FolderTreeWalk PlanFolderTree(const char* path) {
    FolderTreeWalk walk;
    std::size_t length = std::strlen(path);
    if (length > 0 && path[length - 1] == '\\') --length;
    // A cut path would name other folders than the caller's: make none.
    if (length == 0 || !walk.path.Assign(path, length)) return walk;
    const char* text = walk.path.CStr();
    std::size_t position = RootEnd(text, length);
    if (position + 1 >= length) return walk;
    while ((position = NextBackslash(text, position + 1, length)) < length) {
        walk.prefixLengths[walk.count++] = position;
    }
    walk.prefixLengths[walk.count++] = length;
    return walk;
}
