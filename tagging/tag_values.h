// Cleaning recognised values and planning the tag writes for one file.
//
// The writes always come in the order Artist, Album, Title, Genre, Year,
// Track; a text is written when it is not empty after trimming, a number when
// it is not 0, as plain "%d" decimal text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tagging/tag_fields.h"

// Removes blanks (character 32 only) from the end and then the start.
void TrimSpaces(PathText& text);

// 1..49 become 2001..2049; 50..99 and negative years get 1900 added after the
// first step, so -5 becomes 1995; 0 and 100 upwards stay.
std::int32_t FixTwoDigitYear(std::int32_t year);

struct TagWrite {
    const char* fieldName = nullptr;  // "Artist", "Album", "Title", "Genre", "Year", "Track"
    PathText value;
};

struct TagWritePlan {
    TagWrite writes[6];
    std::size_t count = 0;

    bool Empty() const { return count == 0; }
};

// Trims the four texts in place and fixes a two-digit year.
void NormaliseTagFields(TagFields& fields);

// The writes for a record that NormaliseTagFields has cleaned.
TagWritePlan PlanTagWrites(const TagFields& fields);
