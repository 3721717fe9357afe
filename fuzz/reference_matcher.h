// A plain, step-by-step matcher used only to check the shipped one.
#pragma once

#include "tagging/tag_pattern_matcher.h"

namespace reference {

TagFields Match(const char* pattern, const char* sourcePath);

}  // namespace reference
