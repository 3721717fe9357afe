// Shared parts of the test decoder plugins: the export macro and the
// record of SetIDTagElement calls, appended to "<file>.calls" as
// "path|field|value" lines so that a test can read them back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#define TEST_DECODER_EXPORT extern "C" __declspec(dllexport)

struct TestFormat {
    const char* extension;
    const char* description;
};

// Writes format index of the list; past its end an empty extension.
template <std::size_t N>
void WriteFormat(const TestFormat (&formats)[N], std::int32_t index, char* extension,
                 char* description) {
    const bool known = index >= 0 && static_cast<std::size_t>(index) < N;
    std::strcpy(extension, known ? formats[index].extension : "");
    std::strcpy(description, known ? formats[index].description : "");
}

inline void RecordTagCall(const char* path, const char* field, const char* value) {
    const std::string log = std::string(path) + ".calls";
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fprintf(file, "%s|%s|%s\n", path, field, value);
        std::fclose(file);
    }
}
