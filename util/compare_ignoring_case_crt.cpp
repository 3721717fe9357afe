// On Windows letters are lowered as the C run-time's current locale says, so
// that lists sort as the host's callers expect under the locale the host has
// set. The bytes are then compared unsigned: the run-times disagree on the
// sign of bytes from 0x80 up, and the order must not depend on which one
// the process has.
#include <cctype>

#include "util/string_list.h"

namespace {

int LowerWithRunTimeLocale(char c) { return std::tolower(static_cast<unsigned char>(c)); }

}  // namespace

int CompareIgnoringCase(const char* left, const char* right) {
    for (;; ++left, ++right) {
        const int l = LowerWithRunTimeLocale(*left);
        const int r = LowerWithRunTimeLocale(*right);
        if (l != r || l == 0) return l - r;
    }
}
