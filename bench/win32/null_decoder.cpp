// NullTags.dll: declares the formats Id3Tags.dll declares and writes
// nothing, so that a conversion through it costs only the plugin's own work.
#include <cstdint>
#include <cstring>

#define NULL_DECODER_EXPORT extern "C" __declspec(dllexport)

NULL_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                             char* description) {
    std::strcpy(extension, index == 0 ? ".mp3" : "");
    std::strcpy(description, index == 0 ? "MPEG audio, tags discarded" : "");
}

NULL_DECODER_EXPORT void __cdecl SetIDTagElement(const char*, const char*, const char*) {}
