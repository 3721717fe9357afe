// The tag pattern in force, CurrentTagPattern: one process-wide text of at
// most 259 characters, with its fallback patterns and the only-when-fits
// setting, all stored in the current user's registry.
//
// The host may create conversion objects on several threads while the
// configuration page edits the pattern on the window's thread and new
// threads read the stored set again, so the set is only ever copied in and
// out whole, under a lock: a match never sees a torn or unterminated
// pattern, nor a pattern with another set's fallbacks. A thread's read of the
// stored set never replaces an edit the page made meanwhile.
#pragma once

#include "tagging/pattern_fit.h"
#include "util/fixed_text.h"

constexpr char kDefaultTagPattern[] = "[artist]-[track]";
constexpr char kTagPatternValueName[] = "KestraTagFromFilename";
constexpr char kSettingsSubkey[] = "Software\\Brackenford\\Sonavell";
// Beside the pattern: 1 = a file whose path the patterns do not fit is not
// touched; and fallback patterns ".2" to ".9", read in order up to the first
// missing or empty one.
constexpr char kOnlyWhenFitsValueName[] = "KestraTagFromFilename.OnlyWhenFits";
constexpr int kMaxFallbackPatterns = PatternChoice::kMaxPatterns - 1;

// Reads the stored pattern into the pattern in force; the default takes its
// place when the read leaves it empty (missing, empty, unreadable or too long).
// The fallback patterns and the only-when-fits setting are read with it,
// through one opening of the key: this runs at every thread attach, under
// the loader lock. A stored set in the middle of a change is not taken; the
// set in force stays (the first load takes what it finds).
void LoadStoredTagPattern();

// Replaces the pattern in force (an edit on the page) and stores it.
void SetAndStoreTagPattern(const char* pattern);

PathText CopyOfCurrentTagPattern();

// The pattern in force first, then its fallbacks, as the plugin tries them.
PatternChoice CopyOfTagPatternsInForce();

// Brackets a change of several stored values of the set (fallbacks moved
// or removed, only-when-fits), from construction to destruction: a thread
// that starts meanwhile keeps the set it has instead of reading half of
// the change. Stored as a count beside the pattern, odd during a change.
class StoredPatternSetChange {
public:
    StoredPatternSetChange();
    ~StoredPatternSetChange();
    StoredPatternSetChange(const StoredPatternSetChange&) = delete;
    StoredPatternSetChange& operator=(const StoredPatternSetChange&) = delete;

private:
    unsigned long changes_;
};
