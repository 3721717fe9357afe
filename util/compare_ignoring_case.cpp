// The "C" locale's case-insensitive comparison, for builds without the
// Windows C run-time.
#include "util/ascii_case.h"
#include "util/string_list.h"

int CompareIgnoringCase(const char* left, const char* right) {
    return CompareIgnoringAsciiCase(left, right);
}
