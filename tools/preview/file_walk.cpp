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

#ifdef _WIN32

const char kSeparator = '\\';

// Calls found(name, isFolder) for each entry; false when the folder cannot
// be read.
template <typename Found>
bool ForEachEntry(const std::string& folder, Found found) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (IsDotOrDotDot(entry.cFileName)) continue;
        // A link to a folder could lead back up the tree.
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        found(entry.cFileName, isFolder);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}

#else

const char kSeparator = '/';

template <typename Found>
bool ForEachEntry(const std::string& folder, Found found) {
    DIR* dir = opendir(folder.c_str());
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

// Folders below the top that cannot be read are passed over.
bool Walk(const std::string& folder, const std::string& below, std::vector<std::string>& out) {
    return ForEachEntry(folder, [&](const char* name, bool isFolder) {
        const std::string relative = below + '\\' + name;
        if (isFolder) {
            Walk(folder + kSeparator + name, relative, out);
        } else {
            out.push_back(relative);
        }
    });
}

}  // namespace

bool ListFilesBelow(const std::string& folder, std::vector<std::string>& relativePaths) {
    std::string root = folder;
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
    return Walk(root, "", relativePaths);
}
