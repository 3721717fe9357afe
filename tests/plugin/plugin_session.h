// A test's view of the plugin as the host sees it: the stored setting in the
// current user's registry, and the DLL loaded afresh (so that its process
// attach runs again) with its nine entry points.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hostenv/registry_values.h"
#include "tests/support/program_folder.h"
#include "tools/host/plugin_loader.h"

constexpr char kSettingsKey[] = "Software\\Brackenford\\Sonavell";
constexpr char kPatternValue[] = "KestraTagFromFilename";

inline void StorePattern(const std::string& pattern) {
    WriteRegistryString(pattern.c_str(), kPatternValue, HKEY_CURRENT_USER, kSettingsKey);
}

inline void StoreRawPattern(const void* data, DWORD size) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                    &key, nullptr);
    RegSetValueExA(key, kPatternValue, 0, REG_SZ, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void ForgetStoredPattern() {
    DeleteRegistryValue(kPatternValue, HKEY_CURRENT_USER, kSettingsKey);
}

// The stored value, or "<missing>".
inline std::string StoredPattern() {
    if (!RegistryValueExists(kPatternValue, HKEY_CURRENT_USER, kSettingsKey)) {
        return "<missing>";
    }
    char text[1024] = "";
    ReadRegistryString(text, sizeof text, kPatternValue, HKEY_CURRENT_USER, kSettingsKey);
    return text;
}

class LoadedPluginFixture : public ::testing::Test {
protected:
    void LoadPluginNow() {
        const char* missing = nullptr;
        ASSERT_TRUE(LoadPlugin(PluginDllPath().c_str(), plugin_, &missing))
            << PluginDllPath() << (missing ? missing : "");
    }
    void TearDown() override { UnloadPlugin(plugin_); }

    LoadedPlugin plugin_;
};
