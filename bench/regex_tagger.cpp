#include "bench/regex_tagger.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "hostenv/path_strings.h"

// The alternatives of each "(?|" group (which number their captures alike)
// stand for the cases where the path runs out of backslashes before the
// pattern's first tokens are filled: those tokens then stay unset, as in
// Match. An empty capture and an unset one give the same field.
const BenchPattern kBenchPatterns[5] = {
    {"default", "[artist]-[track]",
     R"(^(?|.*\\([^\\]*)|[^\\]*)-([^-]*)$)",
     {TagToken::Artist, TagToken::Title}},
    {"folders", "[album]\\[artist]-[track]",
     R"(^(?|.*\\([^\\]*)\\([^\\]*)|()[^\\]*\\([^\\]*)|()()[^\\]*)-([^-]*)$)",
     {TagToken::Album, TagToken::Artist, TagToken::Title}},
    // The track number is read from the start of the file name, as the
    // numeric pre-pass reads it, and its digits do not belong to the title.
    {"numbers", "[artist]\\[album]\\[track number][track]",
     R"(^(?|.*\\([^\\]*)\\([^\\]*)|()[^\\]*\\([^\\]*)|()()[^\\]*))"
     R"(\\(?:(?=\s*([-+]?\d+))|)\d*([^\\]*)$)",
     {TagToken::Artist, TagToken::Album, TagToken::TrackNumber, TagToken::Title}},
    // The blank rule: the title runs back to the last blank, and from there to
    // the dash before it; the artist loses one blank before that dash.
    {"blank_rule", "[artist] - [track]",
     R"(^(?|.*\\([^\\]*?) ?|[^\\]*)-([^-]* [^ ]*)$)",
     {TagToken::Artist, TagToken::Title}},
    // Few names in a collection have an underscore, so this one mostly fails.
    {"mostly_fails", "[artist]_[track]",
     R"(^(?|.*\\([^\\]*)|[^\\]*)_([^_]*)$)",
     {TagToken::Artist, TagToken::Title}},
};

RegexTagger::RegexTagger(const BenchPattern& pattern) : pattern_(pattern) {
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.regex),
                          PCRE2_ZERO_TERMINATED, 0, &error, &errorOffset, nullptr);
    if (!code_) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(error, message, sizeof message);
        throw std::runtime_error(std::string(pattern.name) + ": " +
                                 reinterpret_cast<const char*>(message));
    }
    if (pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) != 0) {
        pcre2_code_free(code_);
        throw std::runtime_error(std::string(pattern.name) + ": no JIT");
    }
    matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
}

RegexTagger::~RegexTagger() {
    pcre2_match_data_free(matchData_);
    pcre2_code_free(code_);
}

TagFields RegexTagger::Extract(const char* sourcePath) {
    TagFields fields;
    const std::size_t stem = StemLength(sourcePath, std::strlen(sourcePath));
    const int found = pcre2_jit_match(code_, reinterpret_cast<PCRE2_SPTR>(sourcePath),
                                      stem, 0, 0, matchData_, nullptr);
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData_);
    for (int group = 1; group < found; ++group) {
        const PCRE2_SIZE start = ovector[2 * group];
        if (start == PCRE2_UNSET) continue;
        StoreTagValue(fields, pattern_.groups[group - 1], sourcePath + start,
                      ovector[2 * group + 1] - start);
    }
    return fields;
}
