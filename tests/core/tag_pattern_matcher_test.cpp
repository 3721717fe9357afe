#include "tagging/tag_pattern_matcher.h"
#include "tagging/match_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Expected {
    const char* artist = "";
    const char* album = "";
    const char* title = "";
    const char* genre = "";
    int year = 0;
    int trackNumber = 0;
};

struct MatchCase {
    const char* pattern;
    const char* path;
    Expected expected;
};

void ExpectFields(const TagFields& f, const Expected& e, const std::string& label) {
    EXPECT_STREQ(f.artist.CStr(), e.artist) << label;
    EXPECT_STREQ(f.album.CStr(), e.album) << label;
    EXPECT_STREQ(f.title.CStr(), e.title) << label;
    EXPECT_STREQ(f.genre.CStr(), e.genre) << label;
    EXPECT_EQ(f.year, e.year) << label;
    EXPECT_EQ(f.trackNumber, e.trackNumber) << label;
}

void ExpectCases(const MatchCase* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const MatchCase& c = cases[i];
        ExpectFields(Match(c.pattern, c.path), c.expected,
                     std::string(c.pattern) + " on " + c.path);
    }
}

TEST(Match, WorkedExamples) {
    const MatchCase cases[] = {
        {"[artist]-[track]", "C:\\Music\\Some Band-A Song.mp3",
         {.artist = "Some Band", .title = "A Song"}},
        {"[artist]-[track]", "C:\\Music\\Some Band - A Song.mp3",
         {.artist = "Some Band ", .title = " A Song"}},
        {"[artist] - [track]", "C:\\Music\\Some Band - Two Words.mp3",
         {.artist = "Some Band", .title = " Two Words"}},
        {"[artist] [track]", "C:\\Music\\Some Band A Song.mp3",
         {.artist = "Some Band A", .title = "Song"}},
        {"[album]\\[artist]-[track]", "D:\\Rips\\Best Of\\Some Band-A Song.wma",
         {.artist = "Some Band", .album = "Best Of", .title = "A Song"}},
        {"[artist]-[track number]-[track]", "C:\\Music\\Some Band-07-A Song.mp3",
         {.artist = "Some Band", .title = "A Song", .trackNumber = 7}},
        {"[track number][track]", "C:\\Music\\07A Song.mp3",
         {.title = "A Song", .trackNumber = 7}},
        {"[artist]\\[album] ([year])\\[track number] - [track]",
         "E:\\Some Band\\Best Of (98)\\07 - A Song.flac",
         {.artist = "Some Band", .album = "Best Of", .title = " A Song",
          .year = 98, .trackNumber = 7}},
        {"[artist]\\[album]\\", "C:\\Music\\Band\\Album\\file.mp3",
         {.artist = "Band", .album = "Album"}},
        {"[artist]-[track]", "C:\\Music\\A-B-C.mp3", {.artist = "A-B", .title = "C"}},
        {"[artist]-[track]", "C:\\Music\\Untitled.mp3", {}},
    };
    ExpectCases(cases, std::size(cases));
}

// The traces name intermediate pattern and name texts; matching those texts
// directly must lead to the same end.
TEST(Match, TraceIntermediateStates) {
    const MatchCase cases[] = {
        // After the pre-pass took 07 out of the sixth example.
        {"[artist]--[track]", "C:\\Music\\Some Band--A Song",
         {.artist = "Some Band", .title = "A Song"}},
        // After the title of the fifth example was stored.
        {"[album]\\[artist]", "D:\\Rips\\Best Of\\Some Band",
         {.artist = "Some Band", .album = "Best Of"}},
        // After the title of the third example was stored.
        {"[artist] ", "C:\\Music\\Some Band ", {.artist = "Some Band"}},
    };
    ExpectCases(cases, std::size(cases));
}

TEST(Match, LiteralsSeparatorsAndFolders) {
    const MatchCase cases[] = {
        {"[artist]-[track]", "C:\\Music\\Foo-.mp3", {.artist = "Foo"}},
        // No backslash: the first token's value never ends and is dropped.
        {"[artist]-[track]", "Foo-Bar.mp3", {.title = "Bar"}},
        {"[artist]\\[album]\\", "C:\\Song.mp3", {}},
        {"[artist]-[side]-[track]", "C:\\Music\\A-x-B.mp3",
         {.artist = "A-x", .title = "B"}},
        // Once literal text, these spellings are tokens now, in any case.
        {"[artist]-[disc]-[track]", "C:\\Music\\A-x-B.mp3", {.artist = "A", .title = "B"}},
        {"[artist]-[SKIP]-[track]", "C:\\Music\\A-x-B.mp3", {.artist = "A", .title = "B"}},
        {"[artist]-[artist]", "C:\\Music\\X-Y.mp3", {.artist = "X"}},
        {"[artist][track]", "C:\\Music\\AB.mp3", {}},
        {"[artist] [track]", "C:\\Music\\Band  Two.mp3",
         {.artist = "Band ", .title = "Two"}},
        {"[artist]-[track]", "C:\\My.Music\\Foo-Bar", {.artist = "Foo", .title = "Bar"}},
        {"[ARTIST]-[Track]", "C:\\Music\\A-B.mp3", {.artist = "A", .title = "B"}},
        {"[genre]\\[artist]-[track]", "C:\\Jazz\\A-B.ogg",
         {.artist = "A", .title = "B", .genre = "Jazz"}},
        // A backslash inside brackets is no token: the pattern's backslash
        // then works as a folder boundary and skips the file name.
        {"[artist]-[a\\track]", "C:\\Music\\X-Y.mp3", {.artist = "Music"}},
        // A trailing backslash in the pattern skips the file name.
        {"[artist]\\", "C:\\Music\\Band\\file.mp3", {.artist = "Band"}},
        // Only a drive and an extension.
        {"[artist]-[track]", "C:", {}},
        {"[artist]-[track]", ".mp3", {}},
        {"[artist]-[track]", "", {}},
        {"-", "C:\\Music\\A-B.mp3", {}},
    };
    ExpectCases(cases, std::size(cases));
}

TEST(Match, NumericTokens) {
    const MatchCase cases[] = {
        {"[TRACK NUMBER]-[track]", "C:\\Music\\07-Song.mp3",
         {.title = "Song", .trackNumber = 7}},
        {"[artist] - [track number] - [track]", "C:\\Music\\Some Band - 07 - A Song.mp3",
         {.artist = "Some Band", .title = " A Song", .trackNumber = 7}},
        {"[artist]-[track number]-[track]", "C:\\Music\\Song.mp3", {}},
        {"[artist]-[year]", "C:\\Music\\Band-abc.mp3", {.artist = "Band-abc"}},
        {"[artist]-Track[track number]", "C:\\Music\\Band-Track07.mp3",
         {.artist = "Band", .trackNumber = 7}},
        {"[artist]-[year]", "C:\\Music\\Band-1999.mp3", {.artist = "Band", .year = 1999}},
        {"[year]-[track]", "C:\\Music\\2001-Song.mp3", {.title = "Song", .year = 2001}},
        {"[track number]", "C:\\Music\\-12.mp3", {.trackNumber = -12}},
        {"[artist]-[track number]", "C:\\Music\\A-99999999999.mp3",
         {.artist = "A", .trackNumber = INT_MAX}},
        // The pre-pass takes the first occurrence; the main pass then finds
        // the second one and its number replaces the first.
        {"[track number]-[track number]", "C:\\Music\\3-4.mp3", {.trackNumber = 4}},
    };
    ExpectCases(cases, std::size(cases));
}

TEST(Match, DoesNotChangeItsInputs) {
    char pattern[] = "[artist]-[track number]-[track]";
    char path[] = "C:\\Music\\Some Band-07-A Song.mp3";
    Match(pattern, path);
    EXPECT_STREQ(pattern, "[artist]-[track number]-[track]");
    EXPECT_STREQ(path, "C:\\Music\\Some Band-07-A Song.mp3");
}

TEST(Match, OverlongInputs) {
    // A 259-character path is matched; one character more refuses the path.
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";
    std::string path = folder + "Band-Song.mp3";
    path.insert(3, 259 - path.size(), 'g');
    ASSERT_EQ(path.size(), 259u);
    TagFields fields = Match("[artist]-[track]", path.c_str());
    EXPECT_STREQ(fields.artist.CStr(), "Band");
    EXPECT_STREQ(fields.title.CStr(), "Song");

    path.insert(3, 1, 'g');
    fields = Match("[artist]-[track]", path.c_str());
    EXPECT_TRUE(fields.artist.Empty());
    EXPECT_TRUE(fields.title.Empty());
    EXPECT_TRUE(Match("[track]", std::string(5000, 'x').c_str()).title.Empty());

    // A pattern is cut to its first 259 characters: the token at its end goes,
    // and the artist runs to the backslash.
    const std::string head = "[artist]-";
    std::string pattern = head + std::string(259 - head.size(), 'x');
    fields = Match((pattern + "-[track]").c_str(), "C:\\A-B.mp3");
    EXPECT_TRUE(fields.title.Empty());
    EXPECT_STREQ(fields.artist.CStr(), "A-B");
}

TEST(Match, LongestValuesFitTheirFields) {
    const std::string name(255, 'n');
    const std::string path = "C:\\" + name;  // 258 characters, no extension
    TagFields fields = Match("\\[track]", path.c_str());
    EXPECT_EQ(fields.title.CStr(), name);
    fields = Match("[track]", ("\\" + std::string(258, 'v')).c_str());
    EXPECT_EQ(fields.title.Length(), 258u);
}

TEST(MatchText, CharactersLeaveTheNameAtItsEndAndJoinTheValueAtItsFront) {
    const std::string path = "C:\\Band - Two Words";
    MatchText name;
    name.Load(path.data(), path.size());
    const std::size_t valueEnd = name.length;
    auto value = [&] { return std::string(name.chars + name.length, valueEnd - name.length); };
    EXPECT_EQ(name.LastChar(), 's');
    PrependLastChar(name);
    EXPECT_EQ(value(), "s");
    PrependUntil(name, ' ');
    EXPECT_EQ(value(), "Words");
    EXPECT_EQ(name.LastChar(), ' ');
    PrependLastChar(name);
    PrependUntil(name, '-');
    EXPECT_EQ(value(), " Two Words");
    PrependUntil(name, 'x');
    EXPECT_TRUE(name.Empty()) << "a name without the character runs out";
    EXPECT_EQ(value(), path);

    EXPECT_EQ(name.LastChar(), '\0');
    name.DropLastChar();
    PrependLastChar(name);
    EXPECT_EQ(name.length, 0u) << "an empty text stays empty";
}

TEST(ParseDecimal, ReadsLikeTheCRuntime) {
    struct {
        const char* text;
        std::int32_t value;
    } const cases[] = {
        {"07", 7},        {"  \t\n\v\f\r42x", 42}, {"+5", 5},
        {"-5", -5},       {"", 0},                 {"abc", 0},
        {"- 5", 0},       {"+-5", 0},              {"2147483647", INT_MAX},
        {"2147483648", INT_MAX}, {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN}, {"99999999999999999999999", INT_MAX},
        {"12 34", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text, std::strlen(c.text)), c.value) << c.text;
    }
    EXPECT_EQ(ParseDecimal("1234", 2), 12) << "stops at the given length";
}

}  // namespace
