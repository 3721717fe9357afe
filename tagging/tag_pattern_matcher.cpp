#include "tagging/tag_pattern_matcher.h"

#include <cstring>
#include <initializer_list>
#include <limits>

#include "hostenv/path_strings.h"
#include "tagging/match_text.h"

namespace {

struct TokenSpelling {
    const char* text;
    std::size_t length;
    TagToken token;
};

// In the order in which a token at the pattern's end is tried.
constexpr TokenSpelling kTokens[] = {
    {"[artist]", 8, TagToken::Artist},
    {"[album]", 7, TagToken::Album},
    {"[track]", 7, TagToken::Title},
    {"[genre]", 7, TagToken::Genre},
    {"[year]", 6, TagToken::Year},
    {"[track number]", 14, TagToken::TrackNumber},
};

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// lower is in lower case already. Most patterns spell their tokens so too,
// which one exact comparison settles.
bool EqualsIgnoringAsciiCase(const char* text, const char* lower, std::size_t n) {
    if (std::memcmp(text, lower, n) == 0) return true;
    for (std::size_t i = 0; i < n; ++i) {
        if (AsciiLower(text[i]) != lower[i]) return false;
    }
    return true;
}

// Index of the first exact occurrence of the token in the text, or npos. A
// pattern holds few "[" and fewer "[t" or "[y", so those are looked for first.
std::size_t FindExact(const char* text, std::size_t length, const TokenSpelling& token) {
    if (length < token.length) return std::size_t(-1);
    const char second = token.text[1];
    const char* const last = text + (length - token.length);
    for (const char* at = text; at <= last; ++at) {
        if (at[0] == '[' && at[1] == second &&
            std::memcmp(at, token.text, token.length) == 0) {
            return std::size_t(at - text);
        }
    }
    return std::size_t(-1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsParseSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Separators are few, so the count hops from one to the next.
std::size_t CountChar(const char* text, std::size_t length, char c) {
    std::size_t count = 0;
    const char* end = text + length;
    for (const void* at; (at = std::memchr(text, c, std::size_t(end - text))); ++count) {
        text = static_cast<const char*>(at) + 1;
    }
    return count;
}

// Recognises a token at the end of a pattern that ends with "]" and cuts it
// off. A token counts only from the pattern's last "[" on, with no backslash
// after it. Every spelling holds one "[", at its start, and no backslash, so
// the pattern's end equalling a spelling is the same condition. Spellings of
// one length differ in their second character, which rules out the others.
TagToken TakeTokenAtEnd(MatchText& pattern) {
    for (const TokenSpelling& spelling : kTokens) {
        if (spelling.length > pattern.length) continue;
        const std::size_t open = pattern.length - spelling.length;
        if (AsciiLower(pattern.chars[open + 1]) != spelling.text[1]) continue;
        if (EqualsIgnoringAsciiCase(pattern.chars + open, spelling.text, spelling.length)) {
            pattern.length = open;
            return spelling.token;
        }
    }
    return TagToken::None;
}

// The numeric pre-pass for the token found at `at` of the pattern. The
// separator before the token has its counterparts after the number in the
// name, so counting separators from the name's end finds where the number
// begins. Returns true and the number when one was taken; the token then
// leaves the pattern and the number's digits leave the name.
bool TakeNumberFor(const TokenSpelling& spelling, std::size_t at, MatchText& pattern,
                   MatchText& name, std::int32_t& number) {
    const char separator = at ? pattern.chars[at - 1] : '\\';
    if (separator == ' ') return false;
    std::size_t needed =
        1 + CountChar(pattern.chars + at, pattern.length - at, separator);

    std::size_t start = 0;  // just after the separator found last
    for (std::size_t searchEnd = name.length; needed > 0; --needed) {
        start = LengthThroughLast(name.chars, searchEnd, separator);
        if (start == 0) return false;
        searchEnd = start - 1;
    }

    number = ParseDecimal(name.chars + start, name.length - start);
    std::size_t digits = 0;
    while (start + digits < name.length && IsDigit(name.chars[start + digits])) {
        ++digits;
    }
    name.Erase(start, digits);
    pattern.Erase(at, spelling.length);
    return true;
}

// The numeric pre-pass for one token, written exactly as in `spelling`. Most
// patterns hold none, and then only the search is paid for.
inline bool ExtractNumericToken(const TokenSpelling& spelling, MatchText& pattern,
                                MatchText& name, std::int32_t& number) {
    const std::size_t at = FindExact(pattern.chars, pattern.length, spelling);
    return at != std::size_t(-1) && TakeNumberFor(spelling, at, pattern, name, number);
}

// One match of one path against one pattern.
class TagPatternMatcher {
public:
    // The values land straight in the caller's record, which saves copying
    // four 260-character texts on the way out.
    TagPatternMatcher(const char* pattern, std::size_t patternLength, const char* path,
                      std::size_t pathLength, TagFields& fields)
        : fields_(fields) {
        pattern_.Load(pattern, patternLength);
        name_.Load(path, StemLength(path, pathLength));
    }

    void Match() {
        std::int32_t number = 0;
        if (ExtractNumericToken(kTokens[5], pattern_, name_, number)) {
            fields_.trackNumber = number;
        }
        if (ExtractNumericToken(kTokens[4], pattern_, name_, number)) {
            fields_.year = number;
        }
        MainPass();
    }

private:
    void MainPass() {
        for (;;) {
            if (token_ == TagToken::None) {
                if (pattern_.Empty()) return;
                if (pattern_.LastChar() == '\\' && !FolderStep()) return;
                if (pattern_.LastChar() == ']') {
                    token_ = TakeTokenAtEnd(pattern_);
                    if (token_ != TagToken::None) valueEnd_ = name_.length;
                }
            }
            if (name_.Empty()) return;
            if (token_ == TagToken::None) {
                LiteralStep();
            } else {
                if (!CollectValue()) return;
                Store();
            }
        }
    }

    // Drops the rest of the current file or folder name. Returns false when
    // only a bare drive is left, which ends the match.
    bool FolderStep() {
        const std::size_t throughBackslash = LengthThroughLast(name_.chars, name_.length, '\\');
        if (throughBackslash > 0) name_.length = throughBackslash - 1;
        return name_.LastChar() != ':';
    }

    // A pattern character that the name lacks at this place is skipped.
    void LiteralStep() {
        if (pattern_.Empty()) return;
        if (pattern_.LastChar() == name_.LastChar()) name_.DropLastChar();
        pattern_.DropLastChar();
    }

    // Takes the name's characters into the value back to the literal that
    // ends it: the pattern's last character, or the nearest backslash once the
    // pattern is used up. Returns false when the name runs out first, which
    // ends the match and drops the value.
    bool CollectValue() {
        for (;;) {
            const char end = pattern_.Empty() ? '\\' : pattern_.LastChar();
            PrependUntil(name_, end);
            if (name_.Empty()) return false;
            if (pattern_.Empty()) return true;
            pattern_.DropLastChar();
            if (end != ' ') return true;
            // The blank rule: a blank after "]" or another blank ends the value
            // at the name's last blank; after any other literal, the value
            // takes the name's blank and runs on to that literal.
            const char before = pattern_.LastChar();
            if (before == ' ' || before == ']') return true;
            PrependLastChar(name_);
        }
    }

    void Store() {
        const char* value = name_.chars + name_.length;
        StoreTagValue(fields_, token_, value, valueEnd_ - name_.length);
        name_.DropLastChar();  // the separator or backslash that ended the value
        token_ = TagToken::None;
    }

    MatchText pattern_;
    MatchText name_;
    // The collected value is name_.chars[name_.length, valueEnd_).
    std::size_t valueEnd_ = 0;
    TagToken token_ = TagToken::None;
    TagFields& fields_;
};

}  // namespace

std::int32_t ParseDecimal(const char* text, std::size_t length) {
    std::size_t i = 0;
    while (i < length && IsParseSpace(text[i])) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, whose range holds the smallest value.
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < length && IsDigit(text[i]); ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < kMin) value = kMin - 1;  // saturate; clamped below
    }
    if (negative) return value < kMin ? std::int32_t(kMin) : std::int32_t(value);
    return -value > kMax ? std::int32_t(kMax) : std::int32_t(-value);
}

// A value is a text to write into a tag, never a name to act on; the paths
// that are tagged fit a path text, so only a value of a path that is never
// written could be longer, and it keeps what fits its field.
void StoreTagValue(TagFields& fields, TagToken token, const char* value,
                   std::size_t length) {
    switch (token) {
        case TagToken::Artist: fields.artist.AssignOrCut(value, length); break;
        case TagToken::Album: fields.album.AssignOrCut(value, length); break;
        case TagToken::Title: fields.title.AssignOrCut(value, length); break;
        case TagToken::Genre: fields.genre.AssignOrCut(value, length); break;
        case TagToken::Year: fields.year = ParseDecimal(value, length); break;
        case TagToken::TrackNumber:
            fields.trackNumber = ParseDecimal(value, length);
            break;
        case TagToken::None: break;
    }
}

TagToken RecogniseToken(const char* text, std::size_t length) {
    for (const TokenSpelling& spelling : kTokens) {
        if (spelling.length == length && EqualsIgnoringAsciiCase(text, spelling.text, length)) {
            return spelling.token;
        }
    }
    return TagToken::None;
}

const char* SpellingOfToken(TagToken token) {
    for (const TokenSpelling& spelling : kTokens) {
        if (spelling.token == token) return spelling.text;
    }
    return "";
}

void MatchInto(const char* pattern, const char* sourcePath, TagFields& fields) {
    for (PathText* text : {&fields.artist, &fields.album, &fields.title, &fields.genre}) {
        text->Clear();
    }
    fields.year = 0;
    fields.trackNumber = 0;
    const std::size_t pathLength = std::strlen(sourcePath);
    if (pathLength > kMaxMatchInput) return;
    const std::size_t patternLength =
        BoundedLength(pattern, kMaxMatchInput);  // longer patterns are cut
    TagPatternMatcher(pattern, patternLength, sourcePath, pathLength, fields).Match();
}

TagFields Match(const char* pattern, const char* sourcePath) {
    TagFields fields;
    MatchInto(pattern, sourcePath, fields);
    return fields;
}
