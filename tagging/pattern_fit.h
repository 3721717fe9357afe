// Whether a pattern fits a path: every field that one of the pattern's
// tokens names got a value from the match (a text that is not empty after
// trimming blanks, a number that is not 0), and the path, without its
// extension, reads as the pattern exactly at its end (tagging/
// tag_pattern_matcher.h says how). The matcher never fails; this is how a
// path that does not have the pattern's shape is told apart, so that
// nothing is tagged from it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tagging/tag_fields.h"
#include "tagging/tag_pattern_matcher.h"

// The fields a pattern's tokens name, one bit per field (1 << TagToken),
// recognised as the matcher recognises tokens, in any letter case, within
// the part of the pattern that the matcher reads. "[skip]" and "[disc]"
// name no field: nothing is written from them.
using NamedFields = std::uint32_t;
NamedFields FieldsNamedBy(const char* pattern);

// How many fields a set names.
int CountNamedFields(NamedFields named);

// Whether the raw values of a match (not yet trimmed) fill every named field.
bool FieldsFill(NamedFields named, const TagFields& values);
// The first named field that the values leave without one; None when all
// are filled.
TagToken FirstFieldWithoutValue(NamedFields named, const TagFields& values);

// The rule: matches the path and says whether the pattern fits it, and
// where not, why. named is FieldsNamedBy(pattern).
bool PathFits(const char* pattern, NamedFields named, const char* path, TagFields& values,
              Misfit& why);
bool PathFits(const char* pattern, const char* path, TagFields& values);

// Patterns in order of preference, each with the fields it names, worked
// out once: the plugin's stored pattern and its fallbacks.
struct PatternChoice {
    static constexpr std::size_t kMaxPatterns = 9;
    PathText patterns[kMaxPatterns];
    NamedFields named[kMaxPatterns] = {};
    std::size_t count = 0;
    bool onlyWhenFits = false;

    // Puts a pattern at index (below kMaxPatterns; the count grows to take
    // it). A pattern is matched, never acted on as a name: a longer one
    // keeps its first 259 characters, all the matcher reads of it.
    void Put(std::size_t index, const char* pattern);
};

// The choice the plugin makes for one path: the values of the first
// pattern that fits. When none fits, the first pattern's values as they
// came (what the plugin writes without fallbacks), or nothing when only
// fitting patterns may tag: then false, and the values are no one's.
bool MatchFirstThatFits(const PatternChoice& choice, const char* path, TagFields& values);

// The same, saying which pattern was used: its index, or -1 when none fits;
// and why the first pattern does not fit, when it does not.
struct ChoiceOutcome {
    bool write = false;
    int used = -1;
    Misfit firstMisfit;
};
ChoiceOutcome MatchAndTellChoice(const PatternChoice& choice, const char* path,
                                 TagFields& values);
