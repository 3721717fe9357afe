#include "hostenv/registry_values.h"

#include <cstring>

#include "util/fixed_text.h"

namespace {

HKEY gDefaultRoot = nullptr;
PathText gDefaultSubkey;

constexpr REGSAM kQueryAccess = KEY_QUERY_VALUE;
constexpr REGSAM kWriteAccess = KEY_WRITE;
constexpr REGSAM kDeleteAccess = KEY_ALL_ACCESS;

struct KeyAddress {
    HKEY root;
    const char* subkey;
};

KeyAddress ResolveDefaults(HKEY root, const char* subkey) {
    return {root ? root : gDefaultRoot, subkey ? subkey : gDefaultSubkey.CStr()};
}

// An open key for the length of one operation.
class OpenedKey {
public:
    // Opens by creation: a missing key is made, with the given class.
    OpenedKey(KeyAddress at, const char* keyClass, REGSAM access)
        : status_(RegCreateKeyExA(at.root, at.subkey, 0, const_cast<char*>(keyClass),
                                  REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &handle_, nullptr)) {}
    // Opens only.
    OpenedKey(KeyAddress at, REGSAM access)
        : status_(RegOpenKeyExA(at.root, at.subkey, 0, access, &handle_)) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        if (IsOpen() && handle_) RegCloseKey(handle_);
    }

    bool IsOpen() const { return status_ == ERROR_SUCCESS; }
    LONG OpenStatus() const { return status_; }
    HKEY Handle() const { return handle_; }
    // The status of a whole operation whose key was opened.
    LONG Close() {
        const LONG closed = RegCloseKey(handle_);
        handle_ = nullptr;
        return closed;
    }

private:
    HKEY handle_ = nullptr;
    LONG status_;
};

bool QueryValue(const OpenedKey& key, const char* valueName, void* data,
                DWORD* size) {
    return RegQueryValueExA(key.Handle(), valueName, nullptr, nullptr,
                            static_cast<BYTE*>(data), size) == ERROR_SUCCESS;
}

LONG SetValue(const char* valueName, DWORD type, const void* data, DWORD size,
              const char* keyClass, HKEY root, const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), keyClass, kWriteAccess);
    if (!key.IsOpen()) return key.OpenStatus();
    RegSetValueExA(key.Handle(), valueName, 0, type,
                   static_cast<const BYTE*>(data), size);
    return key.Close();
}

}  // namespace

namespace {

DWORD ReadDwordOfKey(HKEY key, const char* valueName) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

}  // namespace

DWORD ReadRegistryDword(const char* valueName, HKEY root, const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), "REG_DWORD", kQueryAccess);
    return key.IsOpen() ? ReadDwordOfKey(key.Handle(), valueName) : 0;
}

LONG WriteRegistryDword(DWORD value, const char* valueName, HKEY root,
                        const char* subkey) {
    return SetValue(valueName, REG_DWORD, &value, sizeof value, "REG_DWORD", root,
                    subkey);
}

namespace {

void ReadStringOfKey(HKEY key, char* out, DWORD outSize, const char* valueName) {
    DWORD size = outSize;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(out),
                         &size) != ERROR_SUCCESS) {
        out[0] = '\0';
        return;
    }
    // Stored data need not carry its terminator. Data that fills the whole
    // buffer without one would not fit with it, like any overlong text.
    if (size < outSize) {
        out[size] = '\0';
    } else if (out[outSize - 1] != '\0') {
        out[0] = '\0';
    }
}

}  // namespace

void ReadRegistryString(char* out, DWORD outSize, const char* valueName,
                        HKEY root, const char* subkey) {
    if (outSize == 0) return;
    out[0] = '\0';
    OpenedKey key(ResolveDefaults(root, subkey), "REG_SZ", kQueryAccess);
    if (key.IsOpen()) ReadStringOfKey(key.Handle(), out, outSize, valueName);
}

RegistryValueReader::RegistryValueReader(HKEY root, const char* subkey) {
    const KeyAddress at = ResolveDefaults(root, subkey);
    if (RegOpenKeyExA(at.root, at.subkey, 0, kQueryAccess, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
    }
}

RegistryValueReader::~RegistryValueReader() {
    if (key_) RegCloseKey(key_);
}

void RegistryValueReader::ReadString(char* out, DWORD outSize, const char* valueName) const {
    if (outSize == 0) return;
    out[0] = '\0';
    if (key_) ReadStringOfKey(key_, out, outSize, valueName);
}

DWORD RegistryValueReader::ReadDword(const char* valueName) const {
    return key_ ? ReadDwordOfKey(key_, valueName) : 0;
}

LONG WriteRegistryString(const char* text, const char* valueName, HKEY root,
                         const char* subkey) {
    return SetValue(valueName, REG_SZ, text, DWORD(std::strlen(text) + 1), "REG_SZ",
                    root, subkey);
}

bool GetRegistryValueSize(const char* valueName, DWORD* size, HKEY root,
                          const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), "REG_BINARY", kQueryAccess);
    return key.IsOpen() && QueryValue(key, valueName, nullptr, size);
}

bool ReadRegistryBytes(const char* valueName, void* buffer, DWORD bufferSize,
                       HKEY root, const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), "REG_BINARY", kQueryAccess);
    DWORD size = bufferSize;
    return key.IsOpen() && QueryValue(key, valueName, buffer, &size);
}

LONG WriteRegistryBytes(const char* valueName, const void* data, DWORD size,
                        HKEY root, const char* subkey) {
    return SetValue(valueName, REG_BINARY, data, size, "REG_BINARY", root, subkey);
}

float ReadRegistryFloat(const char* valueName, HKEY root, const char* subkey) {
    float value = 0.0f;
    // A failed read may leave the buffer undefined: answer 0.0 then.
    if (!ReadRegistryBytes(valueName, &value, sizeof value, root, subkey)) {
        return 0.0f;
    }
    return value;
}

LONG WriteRegistryFloat(float value, const char* valueName, HKEY root,
                        const char* subkey) {
    return WriteRegistryBytes(valueName, &value, sizeof value, root, subkey);
}

bool RegistryValueExists(const char* valueName, HKEY root, const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), kQueryAccess);
    return key.IsOpen() && QueryValue(key, valueName, nullptr, nullptr);
}

bool RegistryKeyExists(HKEY root, const char* subkey) {
    return OpenedKey({root, subkey}, kQueryAccess).IsOpen();
}

LONG DeleteRegistryValue(const char* valueName, HKEY root, const char* subkey) {
    OpenedKey key(ResolveDefaults(root, subkey), kDeleteAccess);
    if (!key.IsOpen()) return key.OpenStatus();
    RegDeleteValueA(key.Handle(), valueName);
    return key.Close();
}

LONG DeleteRegistryKey(HKEY root, const char* parentSubkey, const char* keyName) {
    OpenedKey parent({root, parentSubkey}, kDeleteAccess);
    if (!parent.IsOpen()) return parent.OpenStatus();
    RegDeleteKeyA(parent.Handle(), keyName);
    return parent.Close();
}

// A cut subkey would send every later call that uses the defaults to some
// other key, so a subkey that does not fit is refused whole.
bool SetRegistryDefaults(HKEY root, const char* subkey) {
    PathText taken;
    if (!taken.Assign(subkey)) return false;
    gDefaultSubkey = taken;
    gDefaultRoot = root;
    return true;
}
