// Each warning is checked against the matcher itself: where a warning is
// given, the matcher does what the warning says; where none is, every token
// of the pattern gets its value.
#include "tagging/pattern_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "tagging/tag_pattern_matcher.h"
#include "tagging/tag_values.h"

namespace {

std::vector<std::string> Codes(const char* pattern) {
    std::vector<std::string> codes;
    for (const PatternWarning& w : CheckPattern(pattern)) {
        codes.push_back(PatternWarningName(w.code));
    }
    return codes;
}

std::string OnlyMessage(const char* pattern) {
    const std::vector<PatternWarning> warnings = CheckPattern(pattern);
    EXPECT_EQ(warnings.size(), 1u) << pattern;
    return warnings.empty() ? "" : warnings[0].message;
}

// The value a file named after the pattern holds for the k-th occurrence of
// a token: texts without blanks or separators, numbers of two or four digits.
std::string SampleValue(TagToken token, int k) {
    const std::string suffix(1, char('A' + k));
    switch (token) {
        case TagToken::Artist: return "Band" + suffix;
        case TagToken::Album: return "Album" + suffix;
        case TagToken::Title: return "Song" + suffix;
        case TagToken::Genre: return "Rock" + suffix;
        case TagToken::Year: return std::to_string(1991 + k);
        case TagToken::TrackNumber: return "0" + std::to_string(1 + k);
        case TagToken::None: break;
    }
    return "";
}

// A path below C:\Music\ that the pattern describes: every token replaced by
// its sample value, everything else (bracketed words that are no token
// among it) written as it stands. tokens, when given, receives the tokens in
// the order of the pattern.
std::string PathFor(const std::string& pattern, std::vector<TagToken>* tokens = nullptr) {
    std::string path = "C:\\Music\\";
    int seen[7] = {};
    for (std::size_t i = 0; i < pattern.size();) {
        const std::size_t close = pattern.find(']', i);
        if (pattern[i] == '[' && close != std::string::npos) {
            const TagToken token = RecogniseToken(pattern.data() + i, close + 1 - i);
            if (token != TagToken::None) {
                if (tokens) tokens->push_back(token);
                path += SampleValue(token, seen[int(token)]++);
                i = close + 1;
                continue;
            }
        }
        path += pattern[i++];
    }
    return path + ".mp3";
}

TagFields Cleaned(const char* pattern, const std::string& path) {
    TagFields fields = Match(pattern, path.c_str());
    NormaliseTagFields(fields);
    return fields;
}

std::string ValueOf(const TagFields& f, TagToken token) {
    switch (token) {
        case TagToken::Artist: return f.artist.CStr();
        case TagToken::Album: return f.album.CStr();
        case TagToken::Title: return f.title.CStr();
        case TagToken::Genre: return f.genre.CStr();
        case TagToken::Year: return f.year ? std::to_string(f.year) : "";
        case TagToken::TrackNumber: return f.trackNumber ? "0" + std::to_string(f.trackNumber) : "";
        case TagToken::None: break;
    }
    return "";
}

TEST(CheckPattern, SoundPatternsGetNoWarningAndEveryTokenItsValue) {
    const char* const patterns[] = {
        "[artist]-[track]",
        "[Artist]-[Track]",
        "[album]\\[artist]-[track]",
        "[artist]-[track number]-[track]",
        "[track number][track]",
        "[year][track]",
        "[artist]-[track number][track]",
        "[track number] [track]",
        "[artist] - [track]",
        "[artist] [track]",
        "[artist]\\[album] ([year])\\[track number] - [track]",
        "[genre]\\[artist]\\[album]\\[track number]. [track]",
        "[artist]-[album]-[year]-[genre]-[track number]-[track]",
    };
    for (const char* pattern : patterns) {
        EXPECT_TRUE(CheckPattern(pattern).empty()) << pattern;
        std::vector<TagToken> tokens;
        const std::string path = PathFor(pattern, &tokens);
        const TagFields fields = Cleaned(pattern, path);
        for (TagToken t : tokens) {
            EXPECT_EQ(ValueOf(fields, t), SampleValue(t, 0)) << pattern << " on " << path;
        }
    }
}

// The tokens that read without writing: sound where they are used as the
// layouts of real collections use them, and checked like the others.
TEST(CheckPattern, SkipAndDiscAreTokensToo) {
    const char* const sound[] = {
        "[artist]\\[album]\\[disc]-[track number] [track]",
        "[artist]\\[album]\\Disc [disc]\\[track number] - [track]",
        "[artist]\\[album]\\CD[DISC]\\[track number]. [track]",
        "[artist]\\[album]\\[disc][track number] - [track]",
        "[skip] - [album] - [track number] - [track]",
        "[Skip] - [skip] - [track]",
    };
    for (const char* pattern : sound) EXPECT_TRUE(CheckPattern(pattern).empty()) << pattern;
    EXPECT_EQ(Codes("[disc][track]"), std::vector<std::string>{"adjacent-tokens"});
    EXPECT_EQ(Codes("[artist]-[disc]-[disc]"), std::vector<std::string>{"repeated-token"});
    EXPECT_NE(OnlyMessage("[artist]-[disk]-[track]").find("did you mean [disc]?"),
              std::string::npos);
}

TEST(CheckPattern, WordsThatAreNoTokenAreMatchedAsPlainCharacters) {
    EXPECT_NE(OnlyMessage("[artist]-[title]").find("the title is [track]"), std::string::npos);
    EXPECT_NE(OnlyMessage("[artist]-[tracknumber]-[track]").find("[track number]"),
              std::string::npos);
    EXPECT_NE(OnlyMessage("[artits]-[track]").find("did you mean [artist]?"), std::string::npos);
    const std::string disc = OnlyMessage("[artist]-[side]-[track]");
    EXPECT_EQ(disc.find("did you mean"), std::string::npos) << disc;
    EXPECT_EQ(Codes("[artist]-[side]-[track]"), std::vector<std::string>{"not-a-token"});
    EXPECT_TRUE(CheckPattern("[artist] [] ([track])").empty());

    // A name holding the word itself matches; one holding a title does not.
    TagFields literal = Cleaned("[artist]-[title]", "C:\\Music\\Band-[title].mp3");
    EXPECT_STREQ(literal.artist.CStr(), "Band");
    TagFields titled = Cleaned("[artist]-[title]", "C:\\Music\\Band-Song.mp3");
    EXPECT_STREQ(titled.title.CStr(), "");
    EXPECT_STREQ(titled.artist.CStr(), "Band-Song");
}

TEST(CheckPattern, TokensWithNothingBetweenAreNeverStored) {
    struct Case {
        const char* pattern;
        TagToken warned;
        std::vector<TagToken> stored;
    };
    const Case cases[] = {
        {"[artist][track]", TagToken::Title, {}},
        {"[album]\\[artist][track]", TagToken::Title, {}},
        {"[artist][genre]-[track]", TagToken::Genre, {TagToken::Title}},
        {"[artist][track number]", TagToken::TrackNumber, {}},
        {"[artist][track number]-[track]", TagToken::TrackNumber, {TagToken::Title}},
    };
    for (const Case& c : cases) {
        const std::vector<PatternWarning> warnings = CheckPattern(c.pattern);
        ASSERT_EQ(warnings.size(), 1u) << c.pattern;
        EXPECT_EQ(warnings[0].code, PatternWarningCode::AdjacentTokens);
        EXPECT_EQ(warnings[0].message.find(SpellingOfToken(c.warned)), 0u) << c.pattern;

        const TagFields fields = Cleaned(c.pattern, PathFor(c.pattern));
        for (int t = int(TagToken::Artist); t <= int(TagToken::TrackNumber); ++t) {
            bool expected = false;
            for (TagToken s : c.stored) expected |= s == TagToken(t);
            EXPECT_EQ(!ValueOf(fields, TagToken(t)).empty(), expected)
                << c.pattern << " field " << SpellingOfToken(TagToken(t));
        }
    }
}

TEST(CheckPattern, RepeatedTokenNamesTheOccurrenceTheMatcherStores) {
    struct Case {
        const char* pattern;
        TagToken token;
        int winner;
        const char* ordinal;
    };
    const Case cases[] = {
        {"[artist]-[artist]", TagToken::Artist, 0, "the first one's"},
        {"[artist]\\[album]-[Artist]-[track]", TagToken::Artist, 0, "the first one's"},
        {"[track number]-[artist]-[track number]", TagToken::TrackNumber, 1, "the second one's"},
        {"[year]-[year]-[year]", TagToken::Year, 1, "the second one's"},
    };
    for (const Case& c : cases) {
        std::string message;
        for (const PatternWarning& w : CheckPattern(c.pattern)) {
            if (w.code == PatternWarningCode::RepeatedToken) message = w.message;
        }
        EXPECT_NE(message.find(c.ordinal), std::string::npos) << c.pattern << ": " << message;
        const TagFields fields = Cleaned(c.pattern, PathFor(c.pattern));
        EXPECT_EQ(ValueOf(fields, c.token), SampleValue(c.token, c.winner)) << c.pattern;
    }
    // The digit search skips the upper-case first one and takes the second,
    // which the main pass then overwrites with the first one's value: read
    // right, so nothing but the repetition is said.
    const char* mixed = "[TRACK NUMBER]-[artist]-[track number]";
    EXPECT_EQ(Codes(mixed), std::vector<std::string>{"repeated-token"});
    EXPECT_NE(CheckPattern(mixed)[0].message.find("the first one's"), std::string::npos);
    EXPECT_EQ(Cleaned(mixed, PathFor(mixed)).trackNumber, 1);
}

TEST(CheckPattern, NumbersWhoseDigitsAreNotSearchedMissAGluedNumber) {
    // After a blank or in upper case the number is read as a whole value, so
    // one glued to the title is lost; searched, the same name gives it.
    EXPECT_EQ(Codes("[artist] [track number][track]"),
              std::vector<std::string>{"digits-not-searched"});
    EXPECT_EQ(Cleaned("[artist] [track number][track]", "C:\\Music\\Band 07Song.mp3").trackNumber, 0);
    EXPECT_EQ(Cleaned("[artist]-[track number][track]", "C:\\Music\\Band-07Song.mp3").trackNumber, 7);

    EXPECT_EQ(Codes("[TRACK NUMBER][track]"), std::vector<std::string>{"digits-not-searched"});
    EXPECT_EQ(Cleaned("[TRACK NUMBER][track]", "C:\\Music\\07Song.mp3").trackNumber, 0);
    EXPECT_EQ(Cleaned("[track number][track]", "C:\\Music\\07Song.mp3").trackNumber, 7);

    // Separated by a blank the whole value is still a number: no warning.
    EXPECT_TRUE(CheckPattern("[artist] - [Year] - [track]").empty());
    EXPECT_EQ(Cleaned("[artist] - [Year] - [track]", "C:\\Music\\Band - 1999 - Song.mp3").year, 1999);
}

// Each "Field would be "X"" a warning claims for the file it names is what
// the matcher gives that file.
void ExpectClaimsHold(const std::string& pattern, const PatternWarning& warning) {
    const std::string& m = warning.message;
    const std::size_t named = m.find("on a file named \"");
    ASSERT_NE(named, std::string::npos) << pattern << ": " << m;
    const std::size_t start = named + 17;
    const std::string file = m.substr(start, m.find('"', start) - start);
    const TagFields fields = Cleaned(pattern.c_str(), file);
    const char* const names[] = {"", "Artist", "Album", "Title", "Genre", "Year", "Track"};
    int claims = 0;
    for (int t = int(TagToken::Artist); t <= int(TagToken::TrackNumber); ++t) {
        const std::string claim = std::string(names[t]) + " would be ";
        const std::size_t at = m.find(claim);
        if (at == std::string::npos) continue;
        ++claims;
        std::string value = ValueOf(fields, TagToken(t));
        if (TagToken(t) == TagToken::TrackNumber && !value.empty()) value = value.substr(1);
        const std::string said = m.substr(at + claim.size(), m.find(',', at) - at - claim.size());
        EXPECT_EQ(said, value.empty() ? "empty" : "\"" + value + "\"") << pattern << ": " << m;
    }
    EXPECT_GT(claims, 0) << pattern << ": " << m;
}

bool SaysHowFilesAreRead(const PatternWarning& w) {
    return w.code == PatternWarningCode::AdjacentTokens ||
           w.code == PatternWarningCode::DigitsNotSearched || w.code == PatternWarningCode::Misread;
}

TEST(CheckPattern, WarningsComeFromWhatTheMatcherReads) {
    // Broken, each in its own way.
    for (const char* broken : {"[year][track number]", "[track number][year]",
                               "[artist]\\[year]\\[track number]",
                               "[artist] - Nr[track number] - [track]"}) {
        const std::vector<PatternWarning> warnings = CheckPattern(broken);
        ASSERT_FALSE(warnings.empty()) << broken;
        for (const PatternWarning& w : warnings) ExpectClaimsHold(broken, w);
    }
    EXPECT_EQ(Cleaned("[artist]\\[year]\\[track number]", "C:\\Music\\Band\\1999\\07.mp3").artist,
              "Music");
    EXPECT_EQ(Cleaned("[artist] - Nr[track number] - [track]",
                      "C:\\Music\\Band - Nr07 - Rare Error.mp3").trackNumber, 0);
    // Sound, though a number token follows a blank.
    for (const char* sound : {"[artist] - [track number] - [track]", "[artist] - [year] - [track]"}) {
        EXPECT_TRUE(CheckPattern(sound).empty()) << sound;
    }
}

// Patterns of two and three different tokens with every separator between:
// a pattern without a warning reads a name written after it, with values of
// its own; every warning about values tells what the matcher does.
TEST(CheckPattern, NoBrokenPatternGoesUnwarnedInASweep) {
    const char* const separators[] = {"", "-", " - ", "\\", " ", "_", "Nr", ". ", " ("};
    const char* const values[] = {"", "Miles", "Kind", "Blue", "Cool", "1959", "04"};
    std::vector<std::vector<int>> sequences;
    for (int a = 1; a <= 6; ++a) {
        for (int b = 1; b <= 6; ++b) {
            if (b == a) continue;
            sequences.push_back({a, b});
            for (int c = 1; c <= 6; ++c) {
                if (c != a && c != b) sequences.push_back({a, b, c});
            }
        }
    }
    int unwarned = 0, warned = 0;
    for (const std::vector<int>& tokens : sequences) {
        const std::size_t gaps = tokens.size() - 1;
        const std::size_t combinations = gaps == 1 ? std::size(separators) : 81;
        for (std::size_t k = 0; k < combinations; ++k) {
            std::string pattern = SpellingOfToken(TagToken(tokens[0]));
            std::string path = std::string("C:\\Music\\") + values[tokens[0]];
            for (std::size_t g = 0; g < gaps; ++g) {
                const char* separator = separators[g == 0 ? k % 9 : k / 9];
                pattern += separator + std::string(SpellingOfToken(TagToken(tokens[g + 1])));
                path += separator + std::string(values[tokens[g + 1]]);
            }
            const std::vector<PatternWarning> warnings = CheckPattern(pattern.c_str());
            const bool saysMisread = std::any_of(warnings.begin(), warnings.end(), SaysHowFilesAreRead);
            if (!saysMisread) {
                ++unwarned;
                const TagFields fields = Cleaned(pattern.c_str(), path + ".mp3");
                for (int t : tokens) {
                    std::string want = values[t];
                    if (TagToken(t) == TagToken::TrackNumber) want = "0" + want.substr(1);
                    EXPECT_EQ(ValueOf(fields, TagToken(t)), want) << pattern << " on " << path;
                }
                continue;
            }
            ++warned;
            for (const PatternWarning& w : warnings) {
                if (SaysHowFilesAreRead(w)) ExpectClaimsHold(pattern, w);
            }
        }
    }
    // Both kinds occur, so both halves were checked.
    EXPECT_GT(unwarned, 1000);
    EXPECT_GT(warned, 1000);
}

// The plugin writes nothing at all with an empty pattern.
TEST(CheckPattern, AnEmptyPatternIsSaidToTagNothing) {
    EXPECT_EQ(Codes(""), std::vector<std::string>{"empty"});
    const TagFields fields = Cleaned("", "C:\\Music\\Band-Song.mp3");
    EXPECT_TRUE(PlanTagWrites(fields).Empty());
}

TEST(CheckPattern, TooLongPatternsNameWhatIsCut) {
    const std::string kept = std::string(250, 'x') + "\\[artist]";  // 259 characters
    EXPECT_TRUE(CheckPattern(kept.c_str()).empty());

    const std::string longer = kept + "-[track]";
    const std::vector<PatternWarning> warnings = CheckPattern(longer.c_str());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].code, PatternWarningCode::TooLong);
    EXPECT_NE(warnings[0].message.find("\"-[track]\""), std::string::npos);
    // The matcher indeed never sees the title token.
    const TagFields fields = Cleaned(longer.c_str(), "C:\\Music\\Band-Song.mp3");
    EXPECT_STREQ(fields.title.CStr(), "");
    EXPECT_STREQ(fields.artist.CStr(), "Band-Song");

    // The rest of a long pattern is not checked, as it is not used.
    const std::string cutWord = std::string(255, 'x') + "[title]";
    EXPECT_EQ(Codes(cutWord.c_str()), std::vector<std::string>{"too-long"});
}

TEST(CheckPattern, WarningsComeInTheOrderOfTheirPlaces) {
    EXPECT_EQ(Codes("[title]-[artist][track]-[artist]"),
              (std::vector<std::string>{"not-a-token", "adjacent-tokens", "repeated-token"}));
}

}  // namespace
