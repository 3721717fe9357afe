#include "tagging/pattern_fit.h"

#include <gtest/gtest.h>

#include <string>

#include "tagging/tag_pattern_matcher.h"

namespace {

NamedFields Bits(std::initializer_list<TagToken> tokens) {
    NamedFields named = 0;
    for (TagToken t : tokens) named |= NamedFields(1) << int(t);
    return named;
}

TEST(PatternFit, TokensNameTheirFieldsInAnyCaseAndOnlyWithinWhatTheMatcherReads) {
    EXPECT_EQ(FieldsNamedBy("[artist]"), Bits({TagToken::Artist}));
    EXPECT_EQ(FieldsNamedBy("[album]"), Bits({TagToken::Album}));
    EXPECT_EQ(FieldsNamedBy("[track]"), Bits({TagToken::Title}));
    EXPECT_EQ(FieldsNamedBy("[genre]"), Bits({TagToken::Genre}));
    EXPECT_EQ(FieldsNamedBy("[year]"), Bits({TagToken::Year}));
    EXPECT_EQ(FieldsNamedBy("[track number]"), Bits({TagToken::TrackNumber}));
    EXPECT_EQ(FieldsNamedBy("[ARTIST]\\[Track Number] - [TRACK]"),
              Bits({TagToken::Artist, TagToken::TrackNumber, TagToken::Title}));
    EXPECT_EQ(FieldsNamedBy("[title]-[tracknumber]-[artist ]"), 0u) << "no tokens";
    EXPECT_EQ(FieldsNamedBy("[artist] - [artist]"), Bits({TagToken::Artist}));
    EXPECT_EQ(CountNamedFields(FieldsNamedBy("[artist]\\[year] - [album]\\[track]")), 4);
    EXPECT_EQ(FieldsNamedBy(""), 0u);
    // The matcher reads the first 259 characters of a pattern.
    const std::string filler(259 - 8, '-');
    EXPECT_EQ(FieldsNamedBy((filler + "[artist]").c_str()), Bits({TagToken::Artist}));
    EXPECT_EQ(FieldsNamedBy((filler + "-[artist]").c_str()), 0u);
}

struct FitCase {
    const char* pattern;
    const char* path;
    bool fits;
};

// Each case is matched by the matcher itself; the rule judges its values.
TEST(PatternFit, TheRuleJudgesWhatTheMatcherRead) {
    const FitCase cases[] = {
        {"[artist]-[track]", "C:\\Music\\Band-Song.mp3", true},
        {"[artist]-[track]", "C:\\Music\\Song.mp3", false},
        {"[ARTIST]-[TRACK]", "C:\\Music\\Band-Song.mp3", true},
        {"[artist] - [track]", "C:\\Music\\   - Song.mp3", false},    // a blank artist
        {"[track number] - [track]", "C:\\Music\\07 - Song.mp3", true},
        {"[track number] - [track]", "C:\\Music\\00 - Song.mp3", false},  // track 0
        {"[track number] - [track]", "C:\\Music\\xx - Song.mp3", false},  // no number
        {"[artist]\\[year] - [album]\\[track]", "C:\\M\\Band\\1998 - Best\\Song.mp3", true},
        {"[artist]\\[year] - [album]\\[track]", "C:\\M\\Band\\Best\\Song.mp3", false},
        {"[artist] - [artist]", "C:\\M\\A - B.mp3", true},
        {"no tokens at all", "C:\\M\\anything.mp3", true},
        {"[genre]\\[artist]\\[album]\\[track number] - [track]",
         "C:\\Jazz\\Band\\Live\\03 - Tune.mp3", true},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(PatternFits(c.pattern, Match(c.pattern, c.path)), c.fits)
            << c.pattern << " on " << c.path;
    }
}

// A path without the pattern's shape makes the matcher collect a value
// across folder boundaries; such a value never fits, though every named
// field has one.
TEST(PatternFit, AValueWithABackslashDoesNotFit) {
    const char pattern[] = "[artist] - [track]";
    const TagFields values = Match(pattern, "C:\\Music\\Band - Live\\cover.jpg");
    ASSERT_STREQ(values.artist.CStr(), "Band");
    ASSERT_STREQ(values.title.CStr(), " Live\\cover")
        << "the matcher no longer reads this path this way: pick another";
    EXPECT_FALSE(PatternFits(pattern, values));
    EXPECT_TRUE(FieldsFill(FieldsNamedBy("[artist]"), values)) << "the artist alone is sound";
}

TEST(PatternFit, APathTheMatcherRefusesFitsNoPatternThatNamesAField) {
    const std::string tooLong = "C:\\" + std::string(300, 'a') + "\\Band-Song.mp3";
    EXPECT_FALSE(PatternFits("[artist]-[track]", Match("[artist]-[track]", tooLong.c_str())));
}

}  // namespace
