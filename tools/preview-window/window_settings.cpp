#include "tools/preview-window/window_settings.h"

#include <windows.h>

#include "hostenv/registry_values.h"
#include "plugin/tag_pattern_setting.h"

namespace {

constexpr char kWidthValue[] = "PathTaggerPreview.WindowWidth";
constexpr char kHeightValue[] = "PathTaggerPreview.WindowHeight";
constexpr char kLastFolderValue[] = "PathTaggerPreview.LastFolder";

}  // namespace

WindowSize ReadWindowSize() {
    WindowSize size;
    size.width = int(ReadRegistryDword(kWidthValue, HKEY_CURRENT_USER, kSettingsSubkey));
    size.height = int(ReadRegistryDword(kHeightValue, HKEY_CURRENT_USER, kSettingsSubkey));
    return size;
}

void StoreWindowSize(const WindowSize& size) {
    WriteRegistryDword(DWORD(size.width), kWidthValue, HKEY_CURRENT_USER, kSettingsSubkey);
    WriteRegistryDword(DWORD(size.height), kHeightValue, HKEY_CURRENT_USER, kSettingsSubkey);
}

// A folder that does not fit the path limit is not remembered: a cut one
// would name another folder.
std::string ReadLastFolder() {
    PathText folder;
    ReadRegistryString(folder.Data(), PathText::kCapacity, kLastFolderValue,
                       HKEY_CURRENT_USER, kSettingsSubkey);
    return folder.CStr();
}

void StoreLastFolder(const std::string& folder) {
    if (folder.size() > PathText::kMaxLength) return;
    WriteRegistryString(folder.c_str(), kLastFolderValue, HKEY_CURRENT_USER, kSettingsSubkey);
}

bool StoreOnlyWhenFits(bool on) {
    const LONG status =
        on ? WriteRegistryDword(1, kOnlyWhenFitsValueName, HKEY_CURRENT_USER, kSettingsSubkey)
           : DeleteRegistryValue(kOnlyWhenFitsValueName, HKEY_CURRENT_USER, kSettingsSubkey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool StoreFallbackPatterns(const std::vector<std::string>& patterns) {
    if (patterns.size() > std::size_t(kMaxFallbackPatterns)) return false;
    bool stored = true;
    for (int n = 0; n < kMaxFallbackPatterns; ++n) {
        const std::string name = std::string(kTagPatternValueName) + "." + std::to_string(n + 2);
        if (std::size_t(n) < patterns.size()) {
            stored = stored && WriteRegistryString(patterns[std::size_t(n)].c_str(), name.c_str(),
                                                   HKEY_CURRENT_USER, kSettingsSubkey) == ERROR_SUCCESS;
        } else {
            DeleteRegistryValue(name.c_str(), HKEY_CURRENT_USER, kSettingsSubkey);
        }
    }
    return stored;
}
