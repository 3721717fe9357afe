#include "tools/preview/file_walk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

#ifdef _WIN32

const char kSeparator = '\\';

// Calls found(name, isFolder) for each entry; false when the folder cannot
// be read. A name the ANSI code page cannot spell comes with "?" in it and
// cannot be opened: such a folder is reported by the caller's walk.
template <typename Found>
bool ForEachEntry(const std::string& folder, Found found) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (IsDotOrDotDot(entry.cFileName)) continue;
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link to a folder could lead back up the tree; it is no file either.
        if (isFolder && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        found(entry.cFileName, isFolder);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}

#else

const char kSeparator = '/';

template <typename Found>
bool ForEachEntry(const std::string& folder, Found found) {
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = readdir(dir)) {
        if (IsDotOrDotDot(entry->d_name)) continue;
        struct stat status;
        // lstat: a link to a folder could lead back up the tree.
        if (lstat((folder + "/" + entry->d_name).c_str(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode) || S_ISREG(status.st_mode)) {
            found(entry->d_name, S_ISDIR(status.st_mode));
        }
    }
    closedir(dir);
    return true;
}

#endif

void Walk(const std::string& folder, const std::string& path, FolderListing& listing) {
    const bool read = ForEachEntry(folder, [&](const char* name, bool isFolder) {
        const std::string inside = path + '\\' + name;
        if (isFolder) {
            Walk(folder + kSeparator + name, inside, listing);
        } else {
            listing.paths.push_back(inside);
        }
    });
    if (!read) listing.unreadable.push_back(path);
}

}  // namespace

// The folder is named without its trailing separators, so that the root
// "C:\" walks "C:" + "\name" and "\" or "/" walks "" + "\name".
bool ListFilesBelow(const std::string& folder, FolderListing& listing) {
    std::string root = folder;
    while (!root.empty() && IsSeparator(root.back())) root.pop_back();
    if (root.empty() && folder.empty()) return false;
    std::string path = root;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    listing.below = path.size() + 1;
    const std::size_t unreadableBefore = listing.unreadable.size();
    Walk(root, path, listing);
    if (listing.unreadable.size() > unreadableBefore && listing.unreadable.back() == path) {
        listing.unreadable.pop_back();
        return false;
    }
    return true;
}
