#include "plugin/tag_pattern_setting.h"

#include <windows.h>

#include "hostenv/registry_values.h"

namespace {

// The pattern in force first, then its fallbacks; one lock, so that a
// conversion always sees one whole set.
PatternChoice PatternsInForce;
SRWLOCK PatternsInForceLock = SRWLOCK_INIT;

void ReadStoredString(const char* valueName, PathText& out) {
    ReadRegistryString(out.Data(), PathText::kCapacity, valueName, HKEY_CURRENT_USER,
                       kSettingsSubkey);
}

// The fallbacks after the given pattern. One too long to read whole reads as
// empty and ends the list like a missing one: a cut pattern would read
// other values.
PatternChoice ReadStoredChoice(const char* pattern) {
    PatternChoice stored;
    stored.Put(0, pattern);
    for (int n = 2; n < 2 + kMaxFallbackPatterns; ++n) {
        PathText name;
        PathText fallback;
        if (!name.Assign(kTagPatternValueName) || !name.Append('.') ||
            !name.Append(char('0' + n))) {
            break;
        }
        ReadStoredString(name.CStr(), fallback);
        if (fallback.Empty()) break;
        stored.Put(stored.count, fallback.CStr());
    }
    stored.onlyWhenFits = ReadRegistryDword(kOnlyWhenFitsValueName, HKEY_CURRENT_USER,
                                            kSettingsSubkey) == 1;
    return stored;
}

}  // namespace

void LoadStoredTagPattern() {
    PathText stored;
    ReadStoredString(kTagPatternValueName, stored);
    const PatternChoice choice = ReadStoredChoice(stored.Empty() ? kDefaultTagPattern : stored.CStr());
    AcquireSRWLockExclusive(&PatternsInForceLock);
    PatternsInForce = choice;
    ReleaseSRWLockExclusive(&PatternsInForceLock);
}

void SetAndStoreTagPattern(const char* pattern) {
    AcquireSRWLockExclusive(&PatternsInForceLock);
    PatternsInForce.Put(0, pattern);
    ReleaseSRWLockExclusive(&PatternsInForceLock);
    WriteRegistryString(CopyOfCurrentTagPattern().CStr(), kTagPatternValueName,
                        HKEY_CURRENT_USER, kSettingsSubkey);
}

PathText CopyOfCurrentTagPattern() {
    AcquireSRWLockShared(&PatternsInForceLock);
    PathText copy = PatternsInForce.patterns[0];
    ReleaseSRWLockShared(&PatternsInForceLock);
    return copy;
}

PatternChoice CopyOfTagPatternsInForce() {
    AcquireSRWLockShared(&PatternsInForceLock);
    PatternChoice copy = PatternsInForce;
    ReleaseSRWLockShared(&PatternsInForceLock);
    return copy;
}
