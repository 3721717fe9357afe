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
    // Read by "[disc]" to tell the discs of an album apart; never written:
    // the host's decoders take the six fields above.
    std::int32_t disc = 0;
};
