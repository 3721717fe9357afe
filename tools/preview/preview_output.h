// What the preview tool prints for one path: a JSON line, or a row of the
// aligned table.
#pragma once

#include <string>
#include <vector>

#include "tagging/tag_fields.h"
#include "tagging/tag_values.h"

// One previewed path: the raw match, the writes it would cause, and
// whether the pattern fits the path (tagging/pattern_fit.h).
struct PreviewResult {
    std::string path;
    TagFields match;
    TagWritePlan writes;
    bool fits = false;
};

PreviewResult PreviewPath(const char* pattern, const std::string& path);

// Appends bytes as a JSON string literal, reading each byte as the Latin-1
// code point of the same value: quote and backslash are escaped with a
// backslash, control characters and every byte above 0x7F as \u00xx, so any
// byte sequence round-trips.
void AppendJsonString(std::string& out, const char* bytes, std::size_t length);

// {"path": P, "match": {...}, "write": [["Artist", "..."], ...],
// "fits": true|false} with no line break.
std::string FormatJsonLine(const PreviewResult& result);

// A table with a header, a rule and one row per result, columns aligned;
// the last column says "yes" or "no" for whether the pattern fits.
std::string FormatTable(const std::vector<PreviewResult>& results);
