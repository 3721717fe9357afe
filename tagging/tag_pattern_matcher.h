// TagPatternMatcher: reads tag values out of a source path according to a
// pattern such as "[artist]-[track]" or "[album]\[artist]-[track]".
//
// The path, without its extension, is walked from its end while the pattern
// is consumed from its end. Tokens stand for fields, backslashes for folder
// boundaries, anything else is a literal expected in the path. Numeric tokens
// are found first by their digits, so a number may be glued to the text after
// it ("07A Song"). The matcher is pure text processing: it allocates nothing,
// keeps nothing between calls and cannot fail; a path that does not fit the
// pattern simply yields fewer values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tagging/tag_fields.h"

enum class TagToken {
    None = 0,
    Artist = 1,
    Album = 2,
    Title = 3,  // "[track]" is the title
    Genre = 4,
    Year = 5,
    TrackNumber = 6,
    Skip = 7,  // "[skip]": text that is read past and written nowhere
    Disc = 8,  // "[disc]": a disc number, read by its digits, written nowhere
};

// Where a path stops reading as a pattern, seen from the path's end, which
// is where the match starts. A path reads as a pattern when, from the start
// of a file or folder name, every literal stands where the pattern puts it,
// every text token's place holds its value with any blanks around it, every
// number token's place holds only the number's digits, and a backslash that
// ends the pattern stands for the file's name.
enum class MisfitKind {
    None,              // the path reads as the pattern
    LiteralMissing,    // a literal of the pattern is not at its place
    NotDigits,         // a number's place holds more than digits
    TwoValues,         // a token that occurs twice reads two values
    ExtraText,         // the name holds text that the pattern does not
    PathTooShort,      // the pattern goes on where the path has ended
    NoValue,           // a field that the pattern names got no value
    PathTooLong,       // a path the matcher refuses
};

struct Misfit {
    MisfitKind kind = MisfitKind::None;
    TagToken token = TagToken::None;  // the token where it happened, or that follows it
    // For LiteralMissing, the pattern's literal text around the place; only
    // shown, so a very long one is cut.
    char literal[48] = {};
};

// The longest pattern or path the matcher reads, as held by the module's
// 260-character buffers. A longer pattern is cut to its first 259 characters,
// as the configuration page would store it. A longer path is refused and
// yields no values: cutting it would drop its end, where the file name is, and
// tag the file with values that are not its own.
constexpr std::size_t kMaxMatchInput = kMaxPathText - 1;

TagFields Match(const char* pattern, const char* sourcePath);
// The same into a record the caller holds, whatever it held before: saves
// copying its four texts where matches follow one another.
void MatchInto(const char* pattern, const char* sourcePath, TagFields& fields);
// The same, saying also whether the path reads as the pattern (kind None) or
// where it stops doing so. The values are those MatchInto gives.
void MatchInto(const char* pattern, const char* sourcePath, TagFields& fields, Misfit& shape);

// The token that text[0, length) spells in any letter case, as the main pass
// recognises it ("[Artist]" is the artist), or None.
TagToken RecogniseToken(const char* text, std::size_t length);
// The token's spelling in lower case, such as "[track number]"; "" for None.
const char* SpellingOfToken(TagToken token);
// What a token reads, in words: "title" for "[track]"; "" for None.
const char* NameOfToken(TagToken token);

// Puts one recognised value into its field: texts are copied, numbers parsed
// with ParseDecimal. None stores nothing.
void StoreTagValue(TagFields& fields, TagToken token, const char* value,
                   std::size_t length);

// Reads a decimal number from text[0, length): leading white space, one sign,
// digits up to the first non-digit. No digits give 0; values beyond the signed
// 32-bit range are clamped to it.
std::int32_t ParseDecimal(const char* text, std::size_t length);
