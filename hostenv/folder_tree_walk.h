// Which folders CreateFolderTree makes for a path, decided without touching
// the file system so that network and relative paths can be checked anywhere.
#pragma once

#include <cstddef>

#include "util/fixed_text.h"

// The path without one trailing backslash, and the lengths of its prefixes to
// create, shortest first. The root (a drive such as C:, the server and share
// of a network path, or the first name of a relative path) is never among
// them.
struct FolderTreeWalk {
    PathText path;
    std::size_t prefixLengths[kMaxPathText] = {};
    std::size_t count = 0;

    // The i-th folder to create, as its own text.
    void GetFolder(std::size_t i, PathText& out) const;
};

FolderTreeWalk PlanFolderTree(const char* path);
