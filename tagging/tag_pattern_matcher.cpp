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
    const char* name;
};

// In the order in which a token at the pattern's end is tried.
constexpr TokenSpelling kTokens[] = {
    {"[artist]", 8, TagToken::Artist, "artist"},
    {"[album]", 7, TagToken::Album, "album"},
    {"[track]", 7, TagToken::Title, "title"},
    {"[genre]", 7, TagToken::Genre, "genre"},
    {"[year]", 6, TagToken::Year, "year"},
    {"[track number]", 14, TagToken::TrackNumber, "track number"},
    {"[skip]", 6, TagToken::Skip, "skipped text"},
    {"[disc]", 6, TagToken::Disc, "disc number"},
};
constexpr const TokenSpelling& kTrackNumber = kTokens[5];
constexpr const TokenSpelling& kYear = kTokens[4];
constexpr const TokenSpelling& kDisc = kTokens[7];

bool IsNumberToken(TagToken token) {
    return token == TagToken::Year || token == TagToken::TrackNumber || token == TagToken::Disc;
}

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

// Digits whose number a signed 32-bit value holds: a longer number is
// clamped when read, and the place would not hold the number stored.
bool AllDigits(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (!IsDigit(text[i])) return false;
    }
    std::size_t zeros = 0;
    while (zeros + 1 < length && text[zeros] == '0') ++zeros;
    const std::size_t significant = length - zeros;
    return length > 0 && (significant < 10 ||
                          (significant == 10 && std::memcmp(text + zeros, "2147483647", 10) <= 0));
}

// A number found by the pre-pass: its value, and whether its place in the
// name begins with a digit (a sign or a blank there is no number's digit).
struct TakenNumber {
    std::int32_t value = 0;
    bool digits = false;
};

// The numeric pre-pass for the token found at `at` of the pattern. The
// separator before the token has its counterparts after the number in the
// name, so counting separators from the name's end finds where the number
// begins. Returns true and the number when one was taken; the token then
// leaves the pattern and the number's digits leave the name.
bool TakeNumberFor(const TokenSpelling& spelling, std::size_t at, MatchText& pattern,
                   MatchText& name, TakenNumber& number) {
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

    number.value = ParseDecimal(name.chars + start, name.length - start);
    std::size_t digits = 0;
    while (start + digits < name.length && IsDigit(name.chars[start + digits])) {
        ++digits;
    }
    number.digits = AllDigits(name.chars + start, digits);
    name.Erase(start, digits);
    pattern.Erase(at, spelling.length);
    return true;
}

bool EndsWithSpelling(const MatchText& text, std::size_t end, const TokenSpelling& spelling) {
    return end >= spelling.length &&
           EqualsIgnoringAsciiCase(text.chars + end - spelling.length, spelling.text,
                                   spelling.length);
}

// A value without the blanks around it, for comparing two readings.
bool SameTrimmed(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    while (aLength && *a == ' ') ++a, --aLength;
    while (aLength && a[aLength - 1] == ' ') --aLength;
    while (bLength && *b == ' ') ++b, --bLength;
    while (bLength && b[bLength - 1] == ' ') --bLength;
    return aLength == bLength && std::memcmp(a, b, aLength) == 0;
}

// One match of one path against one pattern. Besides the values, it notes
// the first place, from the path's end, where the path stops reading as the
// pattern; it learns that from its own steps, so the values and the verdict
// can never disagree about where a value began or ended.
class TagPatternMatcher {
public:
    // The values land straight in the caller's record, which saves copying
    // four 260-character texts on the way out.
    TagPatternMatcher(const char* pattern, std::size_t patternLength, const char* path,
                      std::size_t pathLength, TagFields& fields, Misfit& shape)
        : fields_(fields), shape_(shape) {
        pattern_.Load(pattern, patternLength);
        name_.Load(path, StemLength(path, pathLength));
        patternEndsWithBackslash_ = patternLength > 0 && pattern[patternLength - 1] == '\\';
    }

    void Match() {
        PrePass(kTrackNumber, fields_.trackNumber);
        PrePass(kYear, fields_.year);
        fullPatternLength_ = pattern_.length;
        fullNameLength_ = name_.length;
        MainPass();
        FinishReading();
    }

private:
    void PrePass(const TokenSpelling& spelling, std::int32_t& field) {
        const std::size_t at = FindExact(pattern_.chars, pattern_.length, spelling);
        if (at == std::size_t(-1)) return;
        // "[disc][track number]" is one run of digits, split by the main pass.
        if (spelling.token == TagToken::TrackNumber && EndsWithSpelling(pattern_, at, kDisc)) {
            return;
        }
        TakenNumber number;
        if (!TakeNumberFor(spelling, at, pattern_, name_, number)) return;
        field = number.value;
        if (!number.digits) Note(MisfitKind::NotDigits, spelling.token);
        stored_ |= 1u << int(spelling.token);
    }

    void MainPass() {
        for (;;) {
            if (token_ == TagToken::None) {
                if (pattern_.Empty()) return;
                if (pattern_.LastChar() == '\\' && !FolderStep()) return;
                if (pattern_.LastChar() == ']') TakeToken();
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

    void TakeToken() {
        token_ = TakeTokenAtEnd(pattern_);
        if (token_ == TagToken::None) return;
        valueEnd_ = name_.length;
        gluedDisc_ = token_ == TagToken::TrackNumber &&
                     EndsWithSpelling(pattern_, pattern_.length, kDisc);
        if (gluedDisc_) pattern_.length -= kDisc.length;
    }

    // Drops the rest of the current file or folder name. Returns false when
    // only a bare drive is left, which ends the match. The pattern's
    // backslash is dropped by the literal step that follows.
    bool FolderStep() {
        const std::size_t throughBackslash = LengthThroughLast(name_.chars, name_.length, '\\');
        if (throughBackslash == 0) {
            Note(MisfitKind::PathTooShort, TagToken::None);
        } else if (throughBackslash < name_.length && !StandsForFileName()) {
            Note(MisfitKind::ExtraText, lastToken_);
        }
        if (throughBackslash > 0) name_.length = throughBackslash - 1;
        backslashPending_ = true;
        return name_.LastChar() != ':';
    }

    // A backslash that ends the pattern stands for the file's name.
    bool StandsForFileName() const {
        return patternEndsWithBackslash_ && pattern_.length == fullPatternLength_ &&
               name_.length == fullNameLength_;
    }

    // A pattern character that the name lacks at this place is skipped. A
    // backslash here is the one whose folder step just cut the name.
    void LiteralStep() {
        if (pattern_.Empty()) return;
        const char wanted = pattern_.LastChar();
        if (wanted == name_.LastChar()) {
            name_.DropLastChar();
            // Two backslashes meet where a number was a folder's whole name.
            anchored_ = wanted == '\\';
        } else if (wanted != '\\') {
            NoteMissingLiteral(pattern_.length - 1);
            anchored_ = false;
        }
        backslashPending_ = false;
        pattern_.DropLastChar();
    }

    // Takes the name's characters into the value back to the literal that
    // ends it: the pattern's last character, or the nearest backslash once the
    // pattern is used up. Returns false when the name runs out first, which
    // ends the match and drops the value.
    bool CollectValue() {
        blankRuleUsed_ = false;
        valueAtFolder_ = false;
        for (;;) {
            const char end = pattern_.Empty() ? '\\' : pattern_.LastChar();
            PrependUntil(name_, end);
            if (name_.Empty()) {
                RanOutOfName();
                return false;
            }
            if (pattern_.Empty()) {
                valueAtFolder_ = true;
                return true;
            }
            pattern_.DropLastChar();
            if (end != ' ') return true;
            // The blank rule: a blank after "]" or another blank ends the value
            // at the name's last blank; after any other literal, the value
            // takes the name's blank and runs on to that literal.
            const char before = pattern_.LastChar();
            if (before == ' ' || before == ']') return true;
            blankRuleUsed_ = true;
            blankAt_ = pattern_.length;
            PrependLastChar(name_);
        }
    }

    // The value ran to the path's start: that is a name's start when the
    // pattern has nothing before the token, and otherwise the path is short.
    void RanOutOfName() {
        if (pattern_.LastChar() == '\\') {
            Note(MisfitKind::PathTooShort, TagToken::None);
            return;
        }
        if (!pattern_.Empty()) {
            NoteMissingLiteral(pattern_.length - 1);
            return;
        }
        CheckValue(name_.chars, valueEnd_);
        anchored_ = true;
    }

    void Store() {
        const char* value = name_.chars + name_.length;
        const std::size_t length = valueEnd_ - name_.length;
        CheckValue(value, length);
        if (gluedDisc_) {
            StoreDiscAndTrack(value, length);
        } else {
            StoreTagValue(fields_, token_, value, length);
        }
        anchored_ = valueAtFolder_;
        lastToken_ = token_;
        name_.DropLastChar();  // the separator or backslash that ended the value
        token_ = TagToken::None;
    }

    // The last two digits are the track's, those before them the disc's.
    void StoreDiscAndTrack(const char* value, std::size_t length) {
        if (length < 3) {
            fields_.trackNumber = ParseDecimal(value, length);
            return;
        }
        fields_.disc = ParseDecimal(value, length - 2);
        fields_.trackNumber = ParseDecimal(value + length - 2, 2);
    }

    void CheckValue(const char* value, std::size_t length) {
        if (std::memchr(value, '\\', length)) {
            // The literal that should end the value is not in this name.
            NoteMissingLiteral(pattern_.length);
            return;
        }
        // The blank rule used the pattern's blank for the name's: it must be
        // there, just before the value.
        if (blankRuleUsed_ && value[0] != ' ') {
            NoteMissingLiteral(blankAt_);
            return;
        }
        const std::size_t skip = blankRuleUsed_ ? 1 : 0;
        if (IsNumberToken(token_) &&
            !AllDigits(value + skip, length - skip) ) {
            Note(MisfitKind::NotDigits, token_);
        } else if (gluedDisc_ && (length - skip < 3 || !AllDigits(value + skip, length - skip))) {
            Note(MisfitKind::NotDigits, TagToken::Disc);
        }
        CheckAgainstEarlierValue(value, length);
    }

    // Of a token that occurs twice, both places must hold the same value.
    void CheckAgainstEarlierValue(const char* value, std::size_t length) {
        if (token_ == TagToken::Skip || gluedDisc_) return;
        const unsigned bit = 1u << int(token_);
        if ((stored_ & bit) == 0) {
            stored_ |= bit;
            return;
        }
        if (!SameAsStored(value, length)) Note(MisfitKind::TwoValues, token_);
    }

    bool SameAsStored(const char* value, std::size_t length) const {
        const PathText* text = nullptr;
        switch (token_) {
            case TagToken::Artist: text = &fields_.artist; break;
            case TagToken::Album: text = &fields_.album; break;
            case TagToken::Title: text = &fields_.title; break;
            case TagToken::Genre: text = &fields_.genre; break;
            case TagToken::Year: return fields_.year == ParseDecimal(value, length);
            case TagToken::TrackNumber: return fields_.trackNumber == ParseDecimal(value, length);
            case TagToken::Disc: return fields_.disc == ParseDecimal(value, length);
            default: return true;
        }
        return SameTrimmed(text->CStr(), std::strlen(text->CStr()), value, length);
    }

    void FinishReading() {
        if (token_ != TagToken::None) return;  // RanOutOfName judged it
        const std::size_t left = pattern_.length - (backslashPending_ ? 1 : 0);
        if (left > 0) {
            Note(MisfitKind::PathTooShort, TagToken::None);
        } else if (!anchored_ && !name_.Empty() && name_.LastChar() != '\\') {
            Note(MisfitKind::ExtraText, lastToken_);
        }
    }

    void Note(MisfitKind kind, TagToken token) {
        if (shape_.kind != MisfitKind::None) return;
        shape_.kind = kind;
        shape_.token = token;
    }

    // The literal run of the pattern that holds the character at `at`, with
    // the token that follows it, if any.
    void NoteMissingLiteral(std::size_t at) {
        if (shape_.kind != MisfitKind::None) return;
        const char* chars = pattern_.chars;
        std::size_t begin = at;
        while (begin > 0 && chars[begin - 1] != ']' && chars[begin - 1] != '\\') --begin;
        std::size_t end = at + 1;
        while (end < fullPatternLength_ && chars[end] != '[' && chars[end] != '\\') ++end;
        TagToken next = TagToken::None;
        if (end < fullPatternLength_ && chars[end] == '[') {
            const void* close = std::memchr(chars + end, ']', fullPatternLength_ - end);
            if (close) {
                next = RecogniseToken(chars + end,
                                      std::size_t(static_cast<const char*>(close) - chars) - end + 1);
            }
        }
        Note(MisfitKind::LiteralMissing, next);
        // Only shown: a literal longer than the note keeps its start.
        BoundedCopyOrCut(shape_.literal, sizeof shape_.literal, chars + begin, end - begin);
    }

    MatchText pattern_;
    MatchText name_;
    // The collected value is name_.chars[name_.length, valueEnd_).
    std::size_t valueEnd_ = 0;
    TagToken token_ = TagToken::None;
    TagFields& fields_;

    // What the verdict needs.
    Misfit& shape_;
    bool patternEndsWithBackslash_ = false;
    std::size_t fullPatternLength_ = 0;  // after the pre-pass
    std::size_t fullNameLength_ = 0;
    bool gluedDisc_ = false;         // the pending token is "[disc][track number]"
    bool blankRuleUsed_ = false;     // the pending value took the pattern's blank
    std::size_t blankAt_ = 0;        // that blank's place in the pattern
    bool valueAtFolder_ = false;     // the pending value ran to a backslash
    bool anchored_ = false;          // the last value began a file or folder name
    bool backslashPending_ = false;  // a folder step cut the name for the pattern's backslash
    unsigned stored_ = 0;            // tokens that have a value, one bit each
    TagToken lastToken_ = TagToken::None;
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
        case TagToken::Disc: fields.disc = ParseDecimal(value, length); break;
        case TagToken::Skip:
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

const char* NameOfToken(TagToken token) {
    for (const TokenSpelling& spelling : kTokens) {
        if (spelling.token == token) return spelling.name;
    }
    return "";
}

void MatchInto(const char* pattern, const char* sourcePath, TagFields& fields, Misfit& shape) {
    for (PathText* text : {&fields.artist, &fields.album, &fields.title, &fields.genre}) {
        text->Clear();
    }
    fields.year = 0;
    fields.trackNumber = 0;
    fields.disc = 0;
    shape = Misfit();
    const std::size_t pathLength = std::strlen(sourcePath);
    if (pathLength > kMaxMatchInput) {
        shape.kind = MisfitKind::PathTooLong;
        return;
    }
    const std::size_t patternLength =
        BoundedLength(pattern, kMaxMatchInput);  // longer patterns are cut
    TagPatternMatcher(pattern, patternLength, sourcePath, pathLength, fields, shape).Match();
}

void MatchInto(const char* pattern, const char* sourcePath, TagFields& fields) {
    Misfit unused;
    MatchInto(pattern, sourcePath, fields, unused);
}

TagFields Match(const char* pattern, const char* sourcePath) {
    TagFields fields;
    MatchInto(pattern, sourcePath, fields);
    return fields;
}
