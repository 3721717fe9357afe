#include "plugin/tag_pattern_setting.h"

#include <windows.h>

#include "hostenv/registry_values.h"

namespace {

PathText CurrentTagPattern;
// The fallbacks (patterns[0] unused) and the only-when-fits setting, under
// the same lock: a conversion sees one whole set.
TagPatternsInForce StoredFallbacks;
SRWLOCK CurrentTagPatternLock = SRWLOCK_INIT;

void ReplaceCurrentTagPattern(const char* pattern) {
    AcquireSRWLockExclusive(&CurrentTagPatternLock);
    // A pattern is matched, never acted on as a name: a longer one keeps its
    // first 259 characters, in force and stored alike.
    CurrentTagPattern.AssignOrCut(pattern);
    ReleaseSRWLockExclusive(&CurrentTagPatternLock);
}

void ReadStoredString(const char* valueName, PathText& out) {
    ReadRegistryString(out.Data(), PathText::kCapacity, valueName, HKEY_CURRENT_USER,
                       kSettingsSubkey);
}

// A fallback too long to read whole reads as empty, and ends the list like
// a missing one: a cut pattern would read other values.
TagPatternsInForce ReadStoredFallbacks() {
    TagPatternsInForce stored;
    stored.count = 1;
    for (int n = 2; n < 2 + kMaxFallbackPatterns; ++n) {
        PathText name;
        if (!name.Assign(kTagPatternValueName) || !name.Append('.') ||
            !name.Append(char('0' + n))) {
            break;
        }
        ReadStoredString(name.CStr(), stored.patterns[stored.count]);
        if (stored.patterns[stored.count].Empty()) break;
        ++stored.count;
    }
    stored.onlyWhenFits = ReadRegistryDword(kOnlyWhenFitsValueName, HKEY_CURRENT_USER,
                                            kSettingsSubkey) == 1;
    return stored;
}

}  // namespace

void LoadStoredTagPattern() {
    PathText stored;
    ReadStoredString(kTagPatternValueName, stored);
    const TagPatternsInForce fallbacks = ReadStoredFallbacks();
    ReplaceCurrentTagPattern(stored.Empty() ? kDefaultTagPattern : stored.CStr());
    AcquireSRWLockExclusive(&CurrentTagPatternLock);
    StoredFallbacks = fallbacks;
    ReleaseSRWLockExclusive(&CurrentTagPatternLock);
}

void SetAndStoreTagPattern(const char* pattern) {
    ReplaceCurrentTagPattern(pattern);
    WriteRegistryString(CopyOfCurrentTagPattern().CStr(), kTagPatternValueName,
                        HKEY_CURRENT_USER, kSettingsSubkey);
}

PathText CopyOfCurrentTagPattern() {
    AcquireSRWLockShared(&CurrentTagPatternLock);
    PathText copy = CurrentTagPattern;
    ReleaseSRWLockShared(&CurrentTagPatternLock);
    return copy;
}

TagPatternsInForce CopyOfTagPatternsInForce() {
    AcquireSRWLockShared(&CurrentTagPatternLock);
    TagPatternsInForce copy = StoredFallbacks;
    copy.patterns[0] = CurrentTagPattern;
    ReleaseSRWLockShared(&CurrentTagPatternLock);
    return copy;
}
