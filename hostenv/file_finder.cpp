#include "hostenv/file_finder.h"

#include <cstring>

#include "hostenv/folder_tree_walk.h"
#include "hostenv/path_strings.h"

namespace {

// The folder with its backslash, ready for a name to follow; false when that
// does not fit.
bool AssignFolder(PathText& out, const char* folder) {
    return out.Assign(folder) && AppendBackslash(out);
}

// False when the joined path would not fit, so nothing is done with a cut one.
bool JoinEntryPath(const char* folder, const char* name, PathText& out) {
    return AssignFolder(out, folder) && out.Append(name);
}

}  // namespace

FileFinder::FileFinder(const char* pattern, const char* folder) {
    usable_ = AssignFolder(folder_, folder);
    searchSpec_ = folder_;
    usable_ = usable_ && searchSpec_.Append(pattern);
}

bool FileFinder::CurrentPathFits() const {
    return folder_.Length() + std::strlen(entry_.cFileName) <= PathText::kMaxLength;
}

bool FileFinder::Advance() {
    std::memset(&entry_, 0, sizeof entry_);
    if (!usable_) return false;
    if (search_ == INVALID_HANDLE_VALUE) {
        search_ = FindFirstFileA(searchSpec_.CStr(), &entry_);
        return search_ != INVALID_HANDLE_VALUE;
    }
    return FindNextFileA(search_, &entry_) != 0;
}

bool FileFinder::NextEntry() {
    while (Advance()) {
        const char* name = entry_.cFileName;
        if (name[0] == '\0') return false;
        const bool dots = std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
        if (!dots) return true;
    }
    // A failed FindNextFileA may leave partial data behind.
    std::memset(&entry_, 0, sizeof entry_);
    return false;
}

bool FileFinder::Next() {
    while (NextEntry()) {
        if (CurrentPathFits()) return true;
    }
    return false;
}

const char* FileFinder::GetPath() {
    fullPath_ = folder_;
    if (!fullPath_.Append(entry_.cFileName)) fullPath_.Clear();
    return fullPath_.CStr();
}

bool FileFinder::IsDirectory() const {
    return search_ != INVALID_HANDLE_VALUE &&
           (entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void FileFinder::Close() {
    if (search_ == INVALID_HANDLE_VALUE) return;
    FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
}

bool FolderExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const char* path, bool* isFolder) {
    if (isFolder) *isFolder = false;
    PathText name;
    PathText folder;
    // A cut name or folder would ask after another entry.
    if (!GetFileNamePart(path, name) || !GetFolderPart(path, folder)) return false;
    if (name.Empty()) return false;
    // Only the entry's existence is asked, never its full path, so an entry
    // whose path would not fit counts like any other.
    FileFinder finder(name.CStr(), folder.CStr());
    const bool found = finder.NextEntry();
    if (found && isFolder) *isFolder = finder.IsDirectory();
    return found;
}

void CreateFolderTree(const char* path) {
    const FolderTreeWalk walk = PlanFolderTree(path);
    PathText folder;
    for (std::size_t i = 0; i < walk.count; ++i) {
        walk.GetFolder(i, folder);
        CreateDirectoryA(folder.CStr(), nullptr);
    }
}

void DeleteFolderContents(const char* folder) {
    if (std::strlen(folder) < 4) return;
    FileFinder finder("*.*", folder);
    while (finder.Next()) {
        const char* entryPath = finder.GetPath();
        if (finder.IsDirectory()) {
            DeleteFolderContents(entryPath);
            RemoveDirectoryA(entryPath);
        } else {
            DeleteFileA(entryPath);
        }
    }
}

void DeleteMatchingFiles(const char* path) {
    PathText name;
    PathText folder;
    // A cut pattern or folder would delete other files.
    if (!GetFileNamePart(path, name) || !GetFolderPart(path, folder)) return;
    FileFinder finder(name.CStr(), folder.CStr());
    while (finder.Next()) DeleteFileA(finder.GetPath());
}

void CopyFolderTree(const char* source, const char* destination) {
    CreateFolderTree(destination);
    FileFinder finder("*.*", source);
    PathText from;
    PathText to;
    while (finder.Next()) {
        if (!JoinEntryPath(source, finder.GetName(), from) ||
            !JoinEntryPath(destination, finder.GetName(), to)) {
            continue;
        }
        if (finder.IsDirectory()) {
            CopyFolderTree(from.CStr(), to.CStr());
        } else {
            CopyFileA(from.CStr(), to.CStr(), FALSE);
        }
    }
}
