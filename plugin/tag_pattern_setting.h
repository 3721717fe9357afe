// The tag pattern in force: one process-wide text of at most 259 characters,
// stored in the current user's registry.
//
// The host may create conversion objects on several threads while the
// configuration page edits the pattern on the window's thread, so the text is
// only ever copied in and out whole, under a lock: a match never sees a torn
// or unterminated pattern.
#pragma once

#include "util/fixed_text.h"

constexpr char kDefaultTagPattern[] = "[artist]-[track]";
constexpr char kTagPatternValueName[] = "KestraTagFromFilename";
constexpr char kSettingsSubkey[] = "Software\\Brackenford\\Sonavell";

// Reads the stored pattern into the pattern in force; the default takes its
// place when the read leaves it empty (missing, empty, unreadable or too long).
void LoadStoredTagPattern();

// Replaces the pattern in force (an edit on the page) and stores it.
void SetAndStoreTagPattern(const char* pattern);

PathText CopyOfCurrentTagPattern();
