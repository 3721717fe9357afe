// Records tag writes, and answers track information by the file's
// extension: ".full" fills everything, ".third" only the third text,
// ".long" writes 300 characters into every text, ".bare" writes short texts
// without their terminators, ".crash" faults, ".throw" raises a C++
// exception the way plugins built with structured exceptions do; anything
// else leaves the fields alone. Its last format, ".qq", is declared without
// terminators, over the longer ".long" of the call before.
#include <windows.h>

#include "test_decoder.h"

namespace {
const TestFormat kFormats[] = {
    {".ABC", "Upper case"}, {".low", "Lower case"}, {".dup", "Twice, first"},
    {".dup", "Twice, second"}, {".full", "Full"}, {".third", "Third only"},
    {".crash", "Faults"}, {".throw", "Throws"}, {".bare", "Unterminated texts"},
    {".long", "Writes past its texts"},
};
constexpr std::int32_t kUnterminatedFormat = sizeof kFormats / sizeof kFormats[0];

void WriteUnterminated(char* text, const char* bare) { std::memcpy(text, bare, std::strlen(bare)); }

bool EndsWith(const char* text, const char* end) {
    const std::size_t a = std::strlen(text);
    const std::size_t b = std::strlen(end);
    return a >= b && std::strcmp(text + a - b, end) == 0;
}
}  // namespace

// How often the enumeration was started: once per catalogue build.
volatile LONG firstFormatQueries = 0;

TEST_DECODER_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                             char* description) {
    if (index == 0) InterlockedIncrement(&firstFormatQueries);
    if (index == kUnterminatedFormat) {
        WriteUnterminated(extension, ".qq");
        WriteUnterminated(description, "No end");
        return;
    }
    WriteFormat(kFormats, index, extension, description);
}

TEST_DECODER_EXPORT std::int32_t __cdecl FirstFormatQueries() { return firstFormatQueries; }

TEST_DECODER_EXPORT void __cdecl SetIDTagElement(const char* path, const char* field,
                                                 const char* value) {
    RecordTagCall(path, field, value);
}

TEST_DECODER_EXPORT void __cdecl GetTrackInfo(const char* path, std::int32_t* n2,
                                              std::int32_t* n3, std::int32_t* n4,
                                              std::int32_t* n5, std::int32_t* n6,
                                              char* first, char* second, char* third,
                                              std::int32_t* n10, std::int32_t* n11,
                                              char* reply) {
    if (EndsWith(path, ".third")) {
        std::strcpy(third, "Only Third");
    } else if (EndsWith(path, ".full")) {
        std::strcpy(first, "Decoder Artist");
        std::strcpy(second, "Decoder Title");
        std::strcpy(third, "Decoder Album");
        std::strcpy(reply, "reply");
        *n2 = 0x12345;
        *n3 = -2001;
        *n4 = 0x1FF;
        *n5 = 44100;
        *n6 = -7;
        *n10 = 0x00AB1234;
        *n11 = 0x1FE;
    } else if (EndsWith(path, ".long")) {
        for (char* text : {first, second, third, reply}) {
            std::memset(text, 'L', 300);
            text[300] = '\0';
        }
    } else if (EndsWith(path, ".bare")) {
        WriteUnterminated(first, "abc");
        WriteUnterminated(second, "de");
        WriteUnterminated(third, "f");
        WriteUnterminated(reply, "gh");
    } else if (EndsWith(path, ".crash")) {
        std::strcpy(first, "Partial");
        *static_cast<volatile std::int32_t*>(nullptr) = 1;
    } else if (EndsWith(path, ".throw")) {
        std::strcpy(first, "Partial");
        RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
}
