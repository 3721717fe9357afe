#include "tools/preview/preview_output.h"

#include <algorithm>
#include <cstring>

#include "tagging/pattern_fit.h"
#include "tagging/tag_pattern_matcher.h"

PreviewResult PreviewPath(const PatternChoice& choice, const std::string& path) {
    PreviewResult result;
    result.path = path;
    // The plugin does no work at all for an empty pattern.
    if (choice.count == 0 || choice.patterns[0].Empty()) return result;
    const ChoiceOutcome outcome = MatchAndTellChoice(choice, path.c_str(), result.match);
    result.used = outcome.used;
    result.fits = outcome.used >= 0;
    if (!outcome.write) return result;
    TagFields cleaned = result.match;
    NormaliseTagFields(cleaned);
    result.writes = PlanTagWrites(cleaned);
    return result;
}

PreviewResult PreviewPath(const char* pattern, const std::string& path) {
    PatternChoice choice;
    choice.Put(0, pattern);
    return PreviewPath(choice, path);
}

void AppendJsonString(std::string& out, const char* bytes, std::size_t length) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x80) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    out += '"';
}

namespace {

void AppendJsonText(std::string& out, const PathText& text) {
    AppendJsonString(out, text.CStr(), text.Length());
}

void AppendMember(std::string& out, const char* key, const PathText& text) {
    out += '"';
    out += key;
    out += "\": ";
    AppendJsonText(out, text);
    out += ", ";
}

}  // namespace

std::string FormatJsonLine(const PreviewResult& result) {
    const TagFields& m = result.match;
    std::string out = "{\"path\": ";
    AppendJsonString(out, result.path.data(), result.path.size());
    out += ", \"match\": {";
    AppendMember(out, "artist", m.artist);
    AppendMember(out, "album", m.album);
    AppendMember(out, "title", m.title);
    AppendMember(out, "genre", m.genre);
    out += "\"year\": " + std::to_string(m.year);
    out += ", \"trackNumber\": " + std::to_string(m.trackNumber);
    out += "}, \"write\": [";
    for (std::size_t i = 0; i < result.writes.count; ++i) {
        const TagWrite& w = result.writes.writes[i];
        if (i) out += ", ";
        out += "[\"";
        out += w.fieldName;
        out += "\", ";
        AppendJsonText(out, w.value);
        out += ']';
    }
    out += "], \"fits\": ";
    out += result.fits ? "true" : "false";
    out += ", \"used\": ";
    out += result.used >= 0 ? std::to_string(result.used) : "null";
    out += '}';
    return out;
}

namespace {

constexpr const char* kColumns[] = {"Path", "Artist", "Album", "Title", "Genre",
                                    "Year", "Track",  "Fits",  "Used"};
constexpr std::size_t kFitsColumn = 7;
constexpr std::size_t kUsedColumn = 8;
constexpr std::size_t kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);

using Row = std::vector<std::string>;

Row MakeRow(const PreviewResult& result) {
    Row row(kColumnCount);
    row[0] = result.path;
    row[kFitsColumn] = result.fits ? "yes" : "no";
    if (result.used >= 0) row[kUsedColumn] = std::to_string(result.used + 1);
    for (std::size_t i = 0; i < result.writes.count; ++i) {
        const TagWrite& w = result.writes.writes[i];
        for (std::size_t c = 1; c < kColumnCount; ++c) {
            if (std::strcmp(kColumns[c], w.fieldName) == 0) row[c] = w.value.CStr();
        }
    }
    return row;
}

void AppendRow(std::string& out, const Row& row,
               const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (c) line += "  ";
        line += row[c];
        line.append(widths[c] - row[c].size(), ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
}

}  // namespace

std::string FormatTable(const std::vector<PreviewResult>& results) {
    std::vector<Row> rows;
    rows.emplace_back(std::begin(kColumns), std::end(kColumns));
    for (const PreviewResult& r : results) rows.push_back(MakeRow(r));

    std::vector<std::size_t> widths(kColumnCount, 0);
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    std::string out;
    AppendRow(out, rows[0], widths);
    Row rule(kColumnCount);
    for (std::size_t c = 0; c < kColumnCount; ++c) rule[c].assign(widths[c], '-');
    AppendRow(out, rule, widths);
    for (std::size_t i = 1; i < rows.size(); ++i) AppendRow(out, rows[i], widths);
    return out;
}
