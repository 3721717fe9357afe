// Registry value helpers: each operation opens its key, does one thing and
// closes the key again; no key handle outlives a call.
//
// Value operations that read or write create a missing key, with a class
// naming the value type ("REG_DWORD", "REG_SZ", "REG_BINARY"). Existence
// tests and deletions only open. Operations marked "defaults" use the root
// and subkey set by SetRegistryDefaults when given a null root or a null
// subkey pointer (an empty subkey addresses the root itself).
//
// A status is the platform's error code of opening the key, or of closing it
// when the open succeeded (so it tells only whether the key could be opened).
#pragma once

#include <windows.h>

// defaults. The value, or 0 on any failure (missing, longer than 4 bytes).
DWORD ReadRegistryDword(const char* valueName, HKEY root, const char* subkey);
// defaults.
LONG WriteRegistryDword(DWORD value, const char* valueName, HKEY root,
                        const char* subkey);

// defaults. out receives the text, or is empty on any failure: missing, or
// needing more than outSize bytes with its terminator. The text always ends
// within out, also when the stored data lacks a terminator.
void ReadRegistryString(char* out, DWORD outSize, const char* valueName,
                        HKEY root, const char* subkey);
// Several values read through one opening of the key, for a caller that
// needs them as a set or under a lock where each opening costs. Opens only:
// a missing key reads as missing values. defaults.
class RegistryValueReader {
public:
    RegistryValueReader(HKEY root, const char* subkey);
    ~RegistryValueReader();
    RegistryValueReader(const RegistryValueReader&) = delete;
    RegistryValueReader& operator=(const RegistryValueReader&) = delete;

    // As ReadRegistryString and ReadRegistryDword.
    void ReadString(char* out, DWORD outSize, const char* valueName) const;
    DWORD ReadDword(const char* valueName) const;

private:
    HKEY key_ = nullptr;
};

// defaults. Stores text as REG_SZ with its terminator.
LONG WriteRegistryString(const char* text, const char* valueName, HKEY root,
                         const char* subkey);

// defaults. True when the value exists; size receives its data size.
bool GetRegistryValueSize(const char* valueName, DWORD* size, HKEY root,
                          const char* subkey);
// defaults. True when the value was read whole into buffer.
bool ReadRegistryBytes(const char* valueName, void* buffer, DWORD bufferSize,
                       HKEY root, const char* subkey);
// defaults. Stores REG_BINARY.
LONG WriteRegistryBytes(const char* valueName, const void* data, DWORD size,
                        HKEY root, const char* subkey);

// defaults. The float stored as 4 REG_BINARY bytes, or 0.0 when it cannot
// be read whole.
float ReadRegistryFloat(const char* valueName, HKEY root, const char* subkey);
// defaults. Stores the float's 4 bytes as REG_BINARY (not REG_DWORD).
LONG WriteRegistryFloat(float value, const char* valueName, HKEY root,
                        const char* subkey);

// defaults. Never create anything.
bool RegistryValueExists(const char* valueName, HKEY root, const char* subkey);
bool RegistryKeyExists(HKEY root, const char* subkey);

// defaults.
LONG DeleteRegistryValue(const char* valueName, HKEY root, const char* subkey);
// Deletes parentSubkey\keyName only; whether a key with subkeys can go is
// the platform's decision.
LONG DeleteRegistryKey(HKEY root, const char* parentSubkey, const char* keyName);

// False, with the earlier defaults kept, when the subkey passes 259
// characters.
bool SetRegistryDefaults(HKEY root, const char* subkey);
