// What this module needs of the host's decoder plugins: the entry points it
// resolves by name, and the signatures of the three it calls. Every entry
// point uses the plain C calling convention.
#pragma once

#include <cstdint>

// Writes one format's extension (with its dot) and description into two
// 260-character buffers; an empty extension ends the enumeration.
using WhatFormatsFunction = void(__cdecl*)(std::int32_t index, char* extension,
                                           char* description);
// Stores one tag field ("Artist", "Album", "Title", "Genre", "Year", "Track")
// into the file; Year and Track come as decimal text.
using SetIDTagElementFunction = void(__cdecl*)(const char* path, const char* fieldName,
                                               const char* value);
// Texts 7 to 9 hold 100 characters, text 12 holds 260.
using GetTrackInfoFunction = void(__cdecl*)(const char* path, std::int32_t* number2,
                                            std::int32_t* number3, std::int32_t* number4,
                                            std::int32_t* number5, std::int32_t* number6,
                                            char* firstText, char* secondText,
                                            char* thirdText, std::int32_t* number10,
                                            std::int32_t* number11, char* replyText);

// Recorded only; nothing here calls them, so their signatures stay unknown.
using UnusedEntryPoint = void (*)();
