#include "tagging/pattern_fit.h"

#include <algorithm>
#include <cstring>

#include "tagging/tag_pattern_matcher.h"

namespace {

// The lengths of the token spellings: "[year]" to "[track number]".
constexpr std::size_t kSpellingLengths[] = {6, 7, 8, 14};

NamedFields Bit(TagToken token) { return NamedFields(1) << int(token); }

bool HasText(const PathText& text) {
    const char* c = text.CStr();
    while (*c == ' ') ++c;
    return *c != '\0' && std::strchr(c, '\\') == nullptr;
}

bool TextFills(NamedFields named, TagToken token, const PathText& text) {
    return (named & Bit(token)) == 0 || HasText(text);
}

bool NumberFills(NamedFields named, TagToken token, std::int32_t number) {
    return (named & Bit(token)) == 0 || number != 0;
}

}  // namespace

// A token ends at a "]"; every spelling that ends there is asked for.
NamedFields FieldsNamedBy(const char* pattern) {
    const std::size_t length = std::min(std::strlen(pattern), kMaxMatchInput);
    NamedFields named = 0;
    for (std::size_t end = 1; end <= length; ++end) {
        if (pattern[end - 1] != ']') continue;
        for (std::size_t spelling : kSpellingLengths) {
            if (spelling > end) break;
            const TagToken token = RecogniseToken(pattern + end - spelling, spelling);
            if (token != TagToken::None) named |= Bit(token);
        }
    }
    return named;
}

int CountNamedFields(NamedFields named) {
    int count = 0;
    for (; named != 0; named &= named - 1) ++count;
    return count;
}

bool FieldsFill(NamedFields named, const TagFields& values) {
    return TextFills(named, TagToken::Artist, values.artist) &&
           TextFills(named, TagToken::Album, values.album) &&
           TextFills(named, TagToken::Title, values.title) &&
           TextFills(named, TagToken::Genre, values.genre) &&
           NumberFills(named, TagToken::Year, values.year) &&
           NumberFills(named, TagToken::TrackNumber, values.trackNumber);
}

bool PatternFits(const char* pattern, const TagFields& values) {
    return FieldsFill(FieldsNamedBy(pattern), values);
}

bool MatchFirstThatFits(const PathText* patterns, std::size_t count, const char* path,
                        bool onlyWhenFits, TagFields& values) {
    if (count == 0) return false;
    TagFields first = Match(patterns[0].CStr(), path);
    if (PatternFits(patterns[0].CStr(), first)) {
        values = first;
        return true;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const TagFields fallback = Match(patterns[i].CStr(), path);
        if (PatternFits(patterns[i].CStr(), fallback)) {
            values = fallback;
            return true;
        }
    }
    if (onlyWhenFits) return false;
    values = first;
    return true;
}
