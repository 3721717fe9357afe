// Walking one folder's entries that match a wildcard, and the folder
// operations built on that walk. Failures are silent: a folder that cannot be
// read yields nothing, and platform failures are ignored entry by entry.
#pragma once

#include <windows.h>

#include "util/fixed_text.h"

class FileFinder {
public:
    // Nothing is asked of the platform until the first Next. An empty folder
    // searches relative to the current directory. A folder and pattern that
    // do not fit one path text yield nothing rather than a cut search.
    FileFinder(const char* pattern, const char* folder);
    ~FileFinder() { Close(); }
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // Advances to the next entry, skipping "." and "..". After Close, or after
    // a first search that failed, the enumeration starts over.
    bool NextEntry();
    // NextEntry, also skipping the entries whose full path would not fit a
    // path text, so that no caller ever acts on a cut path.
    bool Next();
    // The folder followed by the current entry's name; valid until the next
    // GetPath. Empty for an entry that NextEntry yielded and whose full path
    // would not fit: a cut path would name something else.
    const char* GetPath();
    const char* GetName() const { return entry_.cFileName; }
    bool IsDirectory() const;
    void Close();

    const char* GetSearchSpec() const { return searchSpec_.CStr(); }

private:
    bool Advance();
    bool CurrentPathFits() const;

    bool usable_ = false;
    HANDLE search_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA entry_{};
    PathText fullPath_;
    PathText searchSpec_;
    PathText folder_;
};

bool FolderExists(const char* path);
// True when an entry matching the path's file-name part (which may hold
// wildcards) exists in its folder part; isFolder, when given, tells whether
// the first such entry is a folder.
bool PathExists(const char* path, bool* isFolder = nullptr);
// Creates every missing folder along the path, never its root.
void CreateFolderTree(const char* path);
// Deletes everything inside the folder; the folder stays. Texts shorter than
// 4 characters (a drive root such as C:\) are left alone.
void DeleteFolderContents(const char* folder);
// Deletes the files (not folders) matching the path's wildcard file name.
void DeleteMatchingFiles(const char* path);
// Copies the whole tree, overwriting files that exist.
void CopyFolderTree(const char* source, const char* destination);
