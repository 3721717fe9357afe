// What the preview tool prints for one path: a JSON line, or a row of the
// aligned table.
#pragma once

#include <string>
#include <vector>

#include "tagging/pattern_fit.h"
#include "tagging/tag_fields.h"
#include "tagging/tag_values.h"

// One previewed path, as the plugin would treat it: the raw match of the
// pattern it uses (the first that fits; the first pattern when none does),
// the writes that follow (none when only fitting patterns may tag and none
// fits), and which pattern was used: 0 for the pattern, 1... for the
// fallbacks, -1 for none (tagging/pattern_fit.h).
struct PreviewResult {
    std::string path;
    TagFields match;
    TagWritePlan writes;
    bool fits = false;
    int used = -1;
};

PreviewResult PreviewPath(const PatternChoice& choice, const std::string& path);
// One pattern alone, without fallbacks.
PreviewResult PreviewPath(const char* pattern, const std::string& path);

// Appends bytes as a JSON string literal, reading each byte as the Latin-1
// code point of the same value: quote and backslash are escaped with a
// backslash, control characters and every byte above 0x7F as \u00xx, so any
// byte sequence round-trips.
void AppendJsonString(std::string& out, const char* bytes, std::size_t length);

// {"path": P, "match": {...}, "write": [["Artist", "..."], ...],
// "fits": true|false, "used": N|null} with no line break.
std::string FormatJsonLine(const PreviewResult& result);

// A table with a header, a rule and one row per result, columns aligned;
// the last columns say "yes" or "no" for whether a pattern fits, and which
// one was used (1 for the pattern, 2... for the fallbacks, empty for none).
std::string FormatTable(const std::vector<PreviewResult>& results);
