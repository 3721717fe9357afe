#include "hostenv/registry_enumeration.h"

#include <cstdint>

#include "hostenv/registry_values.h"
#include "util/fixed_text.h"

namespace {

// Opens the caller's key for reading, or reports why not.
class ReadableKey {
public:
    ReadableKey(HKEY root, const char* subkey)
        : open_(RegOpenKeyExA(root, subkey, 0, KEY_READ, &handle_) == ERROR_SUCCESS) {}
    ReadableKey(const ReadableKey&) = delete;
    ReadableKey& operator=(const ReadableKey&) = delete;
    ~ReadableKey() {
        if (open_) RegCloseKey(handle_);
    }
    bool IsOpen() const { return open_; }
    HKEY Handle() const { return handle_; }

private:
    HKEY handle_ = nullptr;
    bool open_;
};

// parentSubkey, a backslash where one is needed, keyName. False when the
// whole path does not fit: a cut path would address some other key.
bool ComposeKeyPath(const char* parentSubkey, const char* keyName, PathText& path) {
    if (!path.Assign(parentSubkey)) return false;
    if (!path.Empty() && path.Last() != '\\' && !path.Append('\\')) return false;
    return path.Append(keyName);
}

}  // namespace

bool ListRegistrySubkeys(const char* subkey, StringList& names, HKEY root) {
    names.DeleteAll();
    ReadableKey key(root, subkey);
    if (!key.IsOpen()) return false;
    for (DWORD index = 0;; ++index) {
        char name[kMaxPathText];
        DWORD size = sizeof name;
        FILETIME written;
        if (RegEnumKeyExA(key.Handle(), index, name, &size, nullptr, nullptr, nullptr,
                          &written) != ERROR_SUCCESS) {
            break;
        }
        names.AddString(name);
    }
    return true;
}

bool ListRegistryValues(const char* subkey, StringList& names, PointerList* types,
                        HKEY root) {
    names.DeleteAll();
    if (types) types->Clear();
    ReadableKey key(root, subkey);
    if (!key.IsOpen()) return false;
    for (DWORD index = 0;; ++index) {
        char name[kMaxPathText];
        DWORD size = sizeof name;
        DWORD type = 0;
        if (RegEnumValueA(key.Handle(), index, name, &size, nullptr, &type, nullptr,
                          nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.AddString(name);
        if (types) types->Add(reinterpret_cast<void*>(std::uintptr_t(type)));
    }
    return true;
}

// A key whose path does not fit is left whole, children and all: its
// children could only be reached through a cut path, which names another key.
void DeleteRegistryTree(HKEY root, const char* parentSubkey, const char* keyName) {
    PathText path;
    if (!ComposeKeyPath(parentSubkey, keyName, path)) return;
    // All children are listed before any goes, so the deletions cannot
    // disturb the enumeration.
    StringList children;
    ListRegistrySubkeys(path.CStr(), children, root);
    for (std::int32_t i = 0; i < children.count; ++i) {
        DeleteRegistryTree(root, path.CStr(), children.GetString(i)->Text());
    }
    DeleteRegistryKey(root, parentSubkey, keyName);
}
