// Ends its enumeration at index 0.
#include "test_decoder.h"

TEST_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t, char* extension, char* description) {
    extension[0] = '\0';
    description[0] = '\0';
}
