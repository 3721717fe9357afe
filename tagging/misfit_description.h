// Why a pattern does not fit a path, in words, for the people who read the
// preview: kept apart from the fit check itself, which the plugin links and
// which must not pull texts of the C++ library into it.
#pragma once

#include <string>

#include "tagging/tag_pattern_matcher.h"

// Such as "no ` - ` before the title"; empty when the pattern fits.
std::string DescribeMisfit(const Misfit& why);
