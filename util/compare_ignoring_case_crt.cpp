// On Windows the comparison is the C run-time's own, so that lists sort as
// the run-time's callers expect under whatever locale the host has set.
#include <string.h>

#include "util/string_list.h"

int CompareIgnoringCase(const char* left, const char* right) {
    return _stricmp(left, right);
}
