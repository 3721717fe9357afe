#include "plugin/tag_pattern_setting.h"

#include <windows.h>

#include "hostenv/registry_values.h"

namespace {

PathText CurrentTagPattern;
SRWLOCK CurrentTagPatternLock = SRWLOCK_INIT;

void ReplaceCurrentTagPattern(const char* pattern) {
    AcquireSRWLockExclusive(&CurrentTagPatternLock);
    // A pattern is matched, never acted on as a name: a longer one keeps its
    // first 259 characters, in force and stored alike.
    CurrentTagPattern.AssignOrCut(pattern);
    ReleaseSRWLockExclusive(&CurrentTagPatternLock);
}

}  // namespace

void LoadStoredTagPattern() {
    PathText stored;
    ReadRegistryString(stored.Data(), PathText::kCapacity, kTagPatternValueName,
                       HKEY_CURRENT_USER, kSettingsSubkey);
    ReplaceCurrentTagPattern(stored.Empty() ? kDefaultTagPattern : stored.CStr());
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
