// The reference the matcher races against: the same extraction done the way
// regular-expression-based taggers do it, one PCRE2 expression per pattern,
// compiled once with the JIT.
//
// Each expression is written to yield, on the benchmark corpus, exactly the
// fields that Match yields for its pattern; a test holds them to that. The
// expressions run on the path without its extension (found as Match finds
// it), anchored at the end, because Match reads a path from its end: a value
// ends at the last occurrence of the literal before it, and the first token's
// value runs back to the nearest backslash or is dropped when there is none.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstddef>

#include "tagging/tag_pattern_matcher.h"

struct BenchPattern {
    const char* name;     // short name used in the figures' names
    const char* pattern;  // the tag pattern given to Match
    const char* regex;    // its counterpart, matched against the path's stem
    TagToken groups[6];   // the field of each capture group, in group order
};

extern const BenchPattern kBenchPatterns[5];

class RegexTagger {
public:
    // Throws std::runtime_error when the expression does not compile.
    explicit RegexTagger(const BenchPattern& pattern);
    ~RegexTagger();
    RegexTagger(const RegexTagger&) = delete;
    RegexTagger& operator=(const RegexTagger&) = delete;

    TagFields Extract(const char* sourcePath);

private:
    const BenchPattern& pattern_;
    pcre2_code* code_ = nullptr;
    pcre2_match_data* matchData_ = nullptr;
};
