// Built twice, with and without SetIDTagElement, both declaring ".shr".
#include "test_decoder.h"

namespace {
#ifdef WITH_SET_TAG
const TestFormat kFormats[] = {{".shr", "Shared, tagging"}};
#else
const TestFormat kFormats[] = {{".shr", "Shared, plain"}, {".nos", "Never tagged"}};
#endif
}  // namespace

TEST_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                             char* description) {
    WriteFormat(kFormats, index, extension, description);
}

#ifdef WITH_SET_TAG
TEST_DECODER_EXPORT void __cdecl SetIDTagElement(const char* path, const char* field,
                                                 const char* value) {
    RecordTagCall(path, field, value);
}
#endif
