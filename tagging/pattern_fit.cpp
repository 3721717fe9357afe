#include "tagging/pattern_fit.h"

#include <algorithm>
#include <cstring>

#include "tagging/tag_pattern_matcher.h"

namespace {

constexpr std::size_t kLongestSpelling = sizeof "[track number]" - 1;

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

// A token ends at a "]" and starts at the last "[" before it: every
// spelling holds one "[", at its start.
NamedFields FieldsNamedBy(const char* pattern) {
    const std::size_t length = std::min(std::strlen(pattern), kMaxMatchInput);
    NamedFields named = 0;
    std::size_t open = length;  // the last "[" so far; none yet
    for (std::size_t i = 0; i < length; ++i) {
        if (pattern[i] == '[') open = i;
        if (pattern[i] != ']' || open == length || i - open + 1 > kLongestSpelling) continue;
        const TagToken token = RecogniseToken(pattern + open, i - open + 1);
        if (token != TagToken::None) named |= Bit(token);
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

void PatternChoice::Put(std::size_t index, const char* pattern) {
    if (index >= kMaxPatterns) return;
    patterns[index].AssignOrCut(pattern);
    named[index] = FieldsNamedBy(patterns[index].CStr());
    if (count <= index) count = index + 1;
}

bool MatchFirstThatFits(const PatternChoice& choice, const char* path, TagFields& values) {
    if (choice.count == 0) return false;
    MatchInto(choice.patterns[0].CStr(), path, values);
    if (FieldsFill(choice.named[0], values)) return true;
    for (std::size_t i = 1; i < choice.count; ++i) {
        TagFields fallback;
        MatchInto(choice.patterns[i].CStr(), path, fallback);
        if (FieldsFill(choice.named[i], fallback)) {
            values = fallback;
            return true;
        }
    }
    return !choice.onlyWhenFits;  // values hold the first pattern's
}
