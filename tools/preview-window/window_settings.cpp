#include "tools/preview-window/window_settings.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "hostenv/registry_values.h"
#include "plugin/tag_pattern_setting.h"

namespace {

constexpr char kWidthValue[] = "PathTaggerPreview.WindowWidth";
constexpr char kHeightValue[] = "PathTaggerPreview.WindowHeight";
constexpr char kLastFolderValue[] = "PathTaggerPreview.LastFolder";
constexpr char kColumnWidthsValue[] = "PathTaggerPreview.ColumnWidths";

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

// As "240,0,0,...": one number a column, in column order. A value that
// does not read so is not used.
void ReadColumnWidths(int* widths, int count) {
    char text[128] = "";
    ReadRegistryString(text, sizeof text, kColumnWidthsValue, HKEY_CURRENT_USER, kSettingsSubkey);
    const char* at = text;
    for (int c = 0; c < count; ++c) {
        char* end = nullptr;
        const long width = std::strtol(at, &end, 10);
        if (end == at || width < 0 || width > 10000 || (*end != ',' && *end != '\0')) {
            std::fill(widths, widths + count, 0);
            return;
        }
        widths[c] = int(width);
        at = *end ? end + 1 : end;
    }
}

void StoreColumnWidths(const int* widths, int count) {
    std::string text;
    for (int c = 0; c < count; ++c) text += (c ? "," : "") + std::to_string(widths[c]);
    WriteRegistryString(text.c_str(), kColumnWidthsValue, HKEY_CURRENT_USER, kSettingsSubkey);
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

PatternSet ReadStoredPatternSet() {
    LoadStoredTagPattern();
    const PatternChoice stored = CopyOfTagPatternsInForce();
    PatternSet set;
    set.pattern = CopyOfCurrentTagPattern().CStr();
    for (std::size_t i = 1; i < stored.count; ++i) set.fallbacks.push_back(stored.patterns[i].CStr());
    set.onlyWhenFits = stored.onlyWhenFits;
    return set;
}

namespace {

LONG WriteSetting(const char* name, const std::string& value) {
    return WriteRegistryString(value.c_str(), name, HKEY_CURRENT_USER, kSettingsSubkey);
}

bool DeleteSetting(const char* name) {
    const LONG status = DeleteRegistryValue(name, HKEY_CURRENT_USER, kSettingsSubkey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string FallbackValueName(std::size_t index) {
    return std::string(kTagPatternValueName) + "." + std::to_string(index + 2);
}

}  // namespace

// A conversion that starts while the set is written keeps the set it has:
// the writes are bracketed as a change of the stored set, which the plugin
// does not take half done. Its first load takes what it finds, though, and
// nothing can make several values change at one instant. So the order
// keeps every state in between on the careful side:
// - "only tag what fits" is switched on first and off last: while the sets
//   are mixed, a file that no pattern fits is left alone if either set
//   would leave it alone;
// - the fallback list is cut first (".2" deleted: the plugin stops at the
//   first missing value), then written from its end, ".2" last: a reader
//   sees no fallbacks or the whole new list, never old ones with new;
// - the pattern comes after its fallbacks;
// - only what differs from the stored set is written: a change of one of
//   the three is a single write, which no reader sees half done.
// The pattern in force of this process is not changed: the caller reads
// the set back, as the plugin would.
bool StorePatternSet(const PatternSet& set, const PatternSet& was) {
    if (set.fallbacks.size() > std::size_t(kMaxFallbackPatterns)) return false;
    const StoredPatternSetChange change;
    bool stored = true;
    if (set.onlyWhenFits && !was.onlyWhenFits) {
        stored = WriteRegistryDword(1, kOnlyWhenFitsValueName, HKEY_CURRENT_USER,
                                    kSettingsSubkey) == ERROR_SUCCESS;
    }
    if (set.fallbacks != was.fallbacks) {
        stored = DeleteSetting(FallbackValueName(0).c_str()) && stored;
        for (std::size_t n = std::size_t(kMaxFallbackPatterns); n-- > 1;) {
            const std::string name = FallbackValueName(n);
            stored = (n < set.fallbacks.size()
                          ? WriteSetting(name.c_str(), set.fallbacks[n]) == ERROR_SUCCESS
                          : DeleteSetting(name.c_str())) &&
                     stored;
        }
        if (!set.fallbacks.empty()) {
            stored = WriteSetting(FallbackValueName(0).c_str(), set.fallbacks[0]) ==
                         ERROR_SUCCESS &&
                     stored;
        }
    }
    if (set.pattern != was.pattern) {
        stored = WriteSetting(kTagPatternValueName, set.pattern) == ERROR_SUCCESS && stored;
    }
    if (!set.onlyWhenFits && was.onlyWhenFits) {
        stored = DeleteSetting(kOnlyWhenFitsValueName) && stored;
    }
    return stored;
}
