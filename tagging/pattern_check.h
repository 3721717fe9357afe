// Finds what is easy to get wrong in a tag pattern, as the matcher will read
// it: bracketed words that are not tokens, tokens whose values can never end,
// fields given twice, numbers whose digits are not searched first, and
// patterns too long for the setting. A sound pattern gets no warning.
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
};

struct PatternWarning {
    PatternWarningCode code;
    std::string message;
};

// "empty", "too-long", "not-a-token", "adjacent-tokens", "repeated-token",
// "digits-not-searched".
const char* PatternWarningName(PatternWarningCode code);

// The warnings in the order of the places they concern, a too long pattern
// first.
std::vector<PatternWarning> CheckPattern(const char* pattern);
