// The "C" locale's case-insensitive comparison, for builds without the
// Windows C run-time.
#include "util/string_list.h"

namespace {

unsigned char Lowered(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

}  // namespace

int CompareIgnoringCase(const char* left, const char* right) {
    for (;; ++left, ++right) {
        const unsigned char l = Lowered(*left);
        const unsigned char r = Lowered(*right);
        if (l != r || l == 0) return l - r;
    }
}
