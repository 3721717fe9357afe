// The values recognised in one source path.
#pragma once

#include <cstdint>

#include "util/fixed_text.h"

struct TagFields {
    PathText artist;
    PathText album;
    PathText title;
    PathText genre;
    std::int32_t year = 0;
    std::int32_t trackNumber = 0;
};
