// Finds what is easy to get wrong in a tag pattern: an empty or too long
// pattern, bracketed words that are not tokens and fields given twice, read
// from the pattern's text; and every field that the matcher itself reads
// wrong from a file named as the pattern describes, with its cause where the
// pattern shows one (tokens with nothing between, a number whose digits are
// not searched first). A pattern that reads every field right gets none.
#pragma once

#include <string>
#include <vector>

enum class PatternWarningCode {
    Empty,
    TooLong,
    NotAToken,
    AdjacentTokens,
    RepeatedToken,
    DigitsNotSearched,
    Misread,
};

struct PatternWarning {
    PatternWarningCode code;
    std::string message;
};

// "empty", "too-long", "not-a-token", "adjacent-tokens", "repeated-token",
// "digits-not-searched", "misread".
const char* PatternWarningName(PatternWarningCode code);

// The warnings in the order of the places they concern, a too long pattern
// first.
std::vector<PatternWarning> CheckPattern(const char* pattern);
