#include "tagging/pattern_fit.h"

#include <algorithm>
#include <cstring>

#include "tagging/tag_pattern_matcher.h"

namespace {

constexpr std::size_t kLongestSpelling = sizeof "[track number]" - 1;

NamedFields Bit(TagToken token) { return NamedFields(1) << int(token); }

constexpr NamedFields kFields = (NamedFields(1) << (int(TagToken::TrackNumber) + 1)) - 2;

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
    return named & kFields;
}

int CountNamedFields(NamedFields named) {
    int count = 0;
    for (; named != 0; named &= named - 1) ++count;
    return count;
}

TagToken FirstFieldWithoutValue(NamedFields named, const TagFields& values) {
    if (!TextFills(named, TagToken::Artist, values.artist)) return TagToken::Artist;
    if (!TextFills(named, TagToken::Album, values.album)) return TagToken::Album;
    if (!TextFills(named, TagToken::Title, values.title)) return TagToken::Title;
    if (!TextFills(named, TagToken::Genre, values.genre)) return TagToken::Genre;
    if (!NumberFills(named, TagToken::Year, values.year)) return TagToken::Year;
    if (!NumberFills(named, TagToken::TrackNumber, values.trackNumber)) {
        return TagToken::TrackNumber;
    }
    return TagToken::None;
}

bool FieldsFill(NamedFields named, const TagFields& values) {
    return FirstFieldWithoutValue(named, values) == TagToken::None;
}

bool PathFits(const char* pattern, NamedFields named, const char* path, TagFields& values,
              Misfit& why) {
    MatchInto(pattern, path, values, why);
    if (why.kind != MisfitKind::None) return false;
    why.token = FirstFieldWithoutValue(named, values);
    if (why.token == TagToken::None) return true;
    why.kind = MisfitKind::NoValue;
    return false;
}

bool PathFits(const char* pattern, const char* path, TagFields& values) {
    Misfit why;
    return PathFits(pattern, FieldsNamedBy(pattern), path, values, why);
}

void PatternChoice::Put(std::size_t index, const char* pattern) {
    if (index >= kMaxPatterns) return;
    patterns[index].AssignOrCut(pattern);
    named[index] = FieldsNamedBy(patterns[index].CStr());
    if (count <= index) count = index + 1;
}

ChoiceOutcome MatchAndTellChoice(const PatternChoice& choice, const char* path,
                                 TagFields& values) {
    ChoiceOutcome outcome;
    if (choice.count == 0) return outcome;
    if (PathFits(choice.patterns[0].CStr(), choice.named[0], path, values, outcome.firstMisfit)) {
        outcome.write = true;
        outcome.used = 0;
        return outcome;
    }
    for (std::size_t i = 1; i < choice.count; ++i) {
        TagFields fallback;
        Misfit why;
        if (PathFits(choice.patterns[i].CStr(), choice.named[i], path, fallback, why)) {
            values = fallback;
            outcome.write = true;
            outcome.used = int(i);
            return outcome;
        }
    }
    outcome.write = !choice.onlyWhenFits;  // values hold the first pattern's
    return outcome;
}

bool MatchFirstThatFits(const PatternChoice& choice, const char* path, TagFields& values) {
    return MatchAndTellChoice(choice, path, values).write;
}
