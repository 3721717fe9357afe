// Letter case ignored for the letters A-Z only, as the "C" locale does it:
// independent of any locale, for texts that are compared, not shown.
#pragma once

#include <algorithm>
#include <string_view>

inline unsigned char LowerAsciiLetter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

// Negative, zero or positive as left sorts before, with or after right;
// unsigned bytes after lowering, and a text before any longer one it begins.
inline int CompareIgnoringAsciiCase(std::string_view left, std::string_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char l = LowerAsciiLetter(left[i]);
        const unsigned char r = LowerAsciiLetter(right[i]);
        if (l != r) return l < r ? -1 : 1;
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}
