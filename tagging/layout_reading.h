// What one candidate layout reads from one file of a tree, as the
// suggestions judge it: put together from what its folder part reads from
// the file's folder and its file form from the file's name, and whether
// those values look read from the wrong place.
#pragma once

#include <cstdint>
#include <string>

#include "tagging/pattern_fit.h"

// What a folder part reads from a folder, or a file form from a name: the
// texts trimmed, the title only as far as the judgement needs it.
struct NameReading {
    std::string artist;
    std::string album;
    std::int32_t year = 0;
    std::int32_t trackNumber = 0;
    std::int32_t disc = 0;
    bool titleStartsBadly = false;       // "- Title": a separator read as text
    bool titleBeginsWithNumber = false;  // "01 Title", "3. Title"
    bool titleHasDash = false;           // " - ", which may part a performer from a title
};

NameReading ReadNames(const TagFields& values);

// Whether a name's reading and its folder's can be one path's: a text that
// both read (a token twice) must be the same.
bool Agree(const NameReading& name, const NameReading& folder);

// Values read from the wrong place: a separator that begins a value; a
// disc's folder read as an album or a performer; a performer read as a
// number ("01" of "01 - Title"), as the folder of a compilation, or holding
// " - " (where a title may begin); a title that holds more fields than a
// pattern that reads no track number takes from it.
bool Misplaced(const NameReading& name, const NameReading& folder, NamedFields named);
