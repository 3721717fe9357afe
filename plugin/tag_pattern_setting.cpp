#include "plugin/tag_pattern_setting.h"

#include <windows.h>

#include <atomic>

#include "hostenv/registry_values.h"

namespace {

// The pattern in force, with its fallbacks and the only-when-fits setting:
// one set, replaced whole under the lock, so that a conversion never sees a
// torn text or a mixture of two sets.
PatternChoice CurrentTagPattern;
bool currentTagPatternLoaded = false;  // under the lock
SRWLOCK CurrentTagPatternLock = SRWLOCK_INIT;

// Edits on the configuration page, counted as they begin and once they are
// stored. A read of the stored set that overlapped an edit may hold the
// text from before it, which must not replace the edited one.
std::atomic<unsigned> pageEditsBegun{0};
std::atomic<unsigned> pageEditsStored{0};

// Odd while a change of several stored values is under way (see
// StoredPatternSetChange).
constexpr char kSetChangesValueName[] = "KestraTagFromFilename.Changes";

struct StoredSet {
    PatternChoice choice;
    bool whole;  // no change of several values overlapped the read
};

// The fallbacks after the pattern, up to the first missing or empty one.
// One too long to read whole reads as empty and ends the list like a
// missing one: a cut pattern would read other values.
StoredSet ReadStoredSet() {
    const RegistryValueReader key(HKEY_CURRENT_USER, kSettingsSubkey);
    const DWORD changes = key.ReadDword(kSetChangesValueName);
    StoredSet stored;
    PathText text;
    key.ReadString(text.Data(), PathText::kCapacity, kTagPatternValueName);
    stored.choice.Put(0, text.Empty() ? kDefaultTagPattern : text.CStr());
    char fallbackName[] = "KestraTagFromFilename.2";
    static_assert(sizeof fallbackName == sizeof kTagPatternValueName + 2);
    for (int n = 2; n < 2 + kMaxFallbackPatterns; ++n) {
        fallbackName[sizeof fallbackName - 2] = char('0' + n);
        key.ReadString(text.Data(), PathText::kCapacity, fallbackName);
        if (text.Empty()) break;
        stored.choice.Put(stored.choice.count, text.CStr());
    }
    stored.choice.onlyWhenFits = key.ReadDword(kOnlyWhenFitsValueName) == 1;
    stored.whole = changes % 2 == 0 && key.ReadDword(kSetChangesValueName) == changes;
    return stored;
}

}  // namespace

void LoadStoredTagPattern() {
    const unsigned storedBefore = pageEditsStored.load();
    const unsigned begunBefore = pageEditsBegun.load();
    StoredSet stored = ReadStoredSet();
    AcquireSRWLockExclusive(&CurrentTagPatternLock);
    // The first load takes what it found: there is nothing else to keep.
    if (stored.whole || !currentTagPatternLoaded) {
        const bool pageEditOverlapped =
            begunBefore != storedBefore || pageEditsBegun.load() != begunBefore;
        if (pageEditOverlapped && currentTagPatternLoaded) {
            stored.choice.Put(0, CurrentTagPattern.patterns[0].CStr());
        }
        CurrentTagPattern = stored.choice;
        currentTagPatternLoaded = true;
    }
    ReleaseSRWLockExclusive(&CurrentTagPatternLock);
}

void SetAndStoreTagPattern(const char* pattern) {
    ++pageEditsBegun;
    AcquireSRWLockExclusive(&CurrentTagPatternLock);
    CurrentTagPattern.Put(0, pattern);
    ReleaseSRWLockExclusive(&CurrentTagPatternLock);
    WriteRegistryString(CopyOfCurrentTagPattern().CStr(), kTagPatternValueName,
                        HKEY_CURRENT_USER, kSettingsSubkey);
    ++pageEditsStored;
}

PathText CopyOfCurrentTagPattern() {
    AcquireSRWLockShared(&CurrentTagPatternLock);
    PathText copy = CurrentTagPattern.patterns[0];
    ReleaseSRWLockShared(&CurrentTagPatternLock);
    return copy;
}

PatternChoice CopyOfTagPatternsInForce() {
    AcquireSRWLockShared(&CurrentTagPatternLock);
    PatternChoice copy = CurrentTagPattern;
    ReleaseSRWLockShared(&CurrentTagPatternLock);
    return copy;
}

StoredPatternSetChange::StoredPatternSetChange() {
    const DWORD changes = ReadRegistryDword(kSetChangesValueName, HKEY_CURRENT_USER,
                                            kSettingsSubkey);
    // From even to odd; an odd count left by a writer that never finished
    // moves on too, so that a reader that saw it sees a change.
    changes_ = changes % 2 == 0 ? changes + 1 : changes + 2;
    WriteRegistryDword(changes_, kSetChangesValueName, HKEY_CURRENT_USER, kSettingsSubkey);
}

StoredPatternSetChange::~StoredPatternSetChange() {
    WriteRegistryDword(changes_ + 1, kSetChangesValueName, HKEY_CURRENT_USER, kSettingsSubkey);
}
