// Every file below a folder, as the whole path the plugin would see, with
// backslashes between names (also natively, where the folder's own
// separator is "/"). Linked folders are not followed and not counted as
// files: a link could lead back up the tree.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct FolderListing {
    std::vector<std::string> paths;
    std::size_t below = 0;                 // where, in every path, the part below the folder begins
    std::vector<std::string> unreadable;   // folders below that could not be read, as paths
};

// False when the folder itself cannot be read. A drive's root ("\", "C:\",
// "/") is a folder like any other.
bool ListFilesBelow(const std::string& folder, FolderListing& listing);
