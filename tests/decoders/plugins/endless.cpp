// Never ends its enumeration; its first extension is longer than the
// catalogue keeps.
#include "test_decoder.h"

TEST_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                             char* description) {
    if (index == 0) {
        extension[0] = '.';
        std::memset(extension + 1, 'x', 149);
        extension[150] = '\0';
    } else {
        std::strcpy(extension, ".endless");
    }
    std::strcpy(description, "Endless");
}
