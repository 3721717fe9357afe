// Track information for one audio file: asked of the file's decoder
// plugin, and, when that names neither artist nor title, taken from the
// file's own name split at its first dash.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Laid out as callers across the module boundary expect it; the stretches
// marked unused are only cleared.
struct TrackInfoRecord {
    char firstText[100];   // the decoder's text 7, or the name before the dash
    char secondText[100];  // text 8, or the name after the dash (or all of it)
    char thirdText[100];   // text 9
    char path[260];        // the only input
    std::uint8_t fromArg11;
    std::uint16_t fromArg2;
    std::int32_t fromArg3;
    std::uint8_t unused1[42];
    std::uint16_t fromArg10Low;
    std::uint8_t fromArg4;
    std::int32_t fromArg6;
    std::int32_t fromArg5;
    std::uint8_t unused2[8];
    FILETIME lookupTime;  // UTC
    std::uint8_t unused3[4];
    std::uint8_t fromArg10High;
};

static_assert(offsetof(TrackInfoRecord, fromArg11) == 560);
static_assert(offsetof(TrackInfoRecord, fromArg10Low) == 610);
static_assert(offsetof(TrackInfoRecord, lookupTime) == 632);
static_assert(offsetof(TrackInfoRecord, fromArg10High) == 644);

// A record whose first or second text is already filled is left as it is.
// replyText (260 characters, may be null) is emptied and handed to the
// decoder. A decoder that faults ends the lookup silently, leaving the
// record as far as it got.
void LookUpTrackInfo(TrackInfoRecord* record, char* replyText);
