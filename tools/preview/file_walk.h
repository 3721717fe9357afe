// Every file below a folder, as the part of its path below the folder with
// a leading backslash and backslashes between names (also natively, where
// the folder's own separator is "/"), so that a pattern sees the layout of
// the tree and nothing above it.
#pragma once

#include <string>
#include <vector>

// False when the folder itself cannot be read; folders below it that
// cannot be read are passed over.
bool ListFilesBelow(const std::string& folder, std::vector<std::string>& relativePaths);
