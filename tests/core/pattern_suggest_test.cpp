#include "tagging/pattern_suggest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tagging/pattern_fit.h"

namespace {

constexpr char kTop[] = "C:\\Music";

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// An album's files below the tree's top: "Artist\Album\NN<sep>Title".
std::vector<std::string> Album(const std::string& folders, const std::string& separator,
                               int count, int first = 1) {
    std::vector<std::string> paths;
    for (int i = first; i < first + count; ++i) {
        paths.push_back(std::string(kTop) + "\\" + folders + "\\" + Two(i) + separator +
                        "Song " + char('A' + i) + ".mp3");
    }
    return paths;
}

SuggestionInput Tree(std::initializer_list<std::vector<std::string>> albums) {
    SuggestionInput input;
    input.below = sizeof kTop;  // just past "C:\Music\"
    for (const auto& album : albums) input.paths.insert(input.paths.end(), album.begin(), album.end());
    return input;
}

std::vector<std::string> Patterns(const std::vector<PatternSuggestion>& set) {
    std::vector<std::string> patterns;
    for (const PatternSuggestion& s : set) patterns.push_back(s.pattern);
    return patterns;
}

// What the plugin would write for a path with the set, with only-when-fits.
TagFields Read(const std::vector<PatternSuggestion>& set, const std::string& path, bool& written) {
    PatternChoice choice;
    for (std::size_t i = 0; i < set.size(); ++i) choice.Put(i, set[i].pattern.c_str());
    choice.onlyWhenFits = true;
    TagFields values;
    written = MatchFirstThatFits(choice, path.c_str(), values);
    return values;
}

TEST(SuggestSet, ReadsAPlainTreeWithOnePatternAndCountsItsUses) {
    const SuggestionInput input = Tree({Album("Band\\First", " - ", 9), Album("Band\\Second", " - ", 4),
                                        Album("Other\\Third", " - ", 6)});
    const std::vector<PatternSuggestion> set = SuggestSet(input);
    ASSERT_EQ(Patterns(set),
              std::vector<std::string>{"[artist]\\[album]\\[track number] - [track]"});
    EXPECT_EQ(set[0].used, 19u);
    EXPECT_EQ(set[0].files, 19u);
    bool written = false;
    const TagFields values = Read(set, input.paths[2], written);
    EXPECT_TRUE(written);
    EXPECT_STREQ(values.artist.CStr(), "Band");
    EXPECT_STREQ(values.album.CStr(), "First");
    EXPECT_EQ(values.trackNumber, 3);
}

// Disc folders beside a plain album: the disc folder is never read as the
// album, nor the album as the performer.
TEST(SuggestSet, DiscFoldersGetAPatternOfTheirOwn) {
    const SuggestionInput input =
        Tree({Album("Band\\Live", " - ", 5), Album("Band\\Box\\Disc 1", " - ", 4),
              Album("Band\\Box\\Disc 2", " - ", 3)});
    const std::vector<PatternSuggestion> set = SuggestSet(input);
    EXPECT_EQ(Patterns(set), (std::vector<std::string>{
                                 "[artist]\\[album]\\Disc [disc]\\[track number] - [track]",
                                 "[artist]\\[album]\\[track number] - [track]"}));
    bool written = false;
    const TagFields values = Read(set, input.paths[9], written);
    EXPECT_TRUE(written);
    EXPECT_STREQ(values.artist.CStr(), "Band");
    EXPECT_STREQ(values.album.CStr(), "Box");
    EXPECT_EQ(values.disc, 2);
    EXPECT_EQ(values.trackNumber, 1);
}

// "201 - Title" read as track 201 would be a wrong tag that fits; the
// numbers say it is disc and track in one.
TEST(SuggestSet, DiscAndTrackInOneNumberAreSplit) {
    std::vector<std::string> box = Album("Band\\Box", " - ", 4, 101);
    const std::vector<std::string> second = Album("Band\\Box", " - ", 3, 201);
    box.insert(box.end(), second.begin(), second.end());
    const SuggestionInput input = Tree({box, Album("Band\\Single", " - ", 5)});
    const std::vector<PatternSuggestion> set = SuggestSet(input);
    bool written = false;
    TagFields values = Read(set, input.paths[5], written);
    ASSERT_TRUE(written);
    EXPECT_EQ(values.disc, 2);
    EXPECT_EQ(values.trackNumber, 2);
    values = Read(set, input.paths[9], written);
    ASSERT_TRUE(written);
    EXPECT_EQ(values.trackNumber, 3);
}

// A compilation's folder is no performer, and its files are read with a
// pattern that names it.
TEST(SuggestSet, ACompilationFolderIsNeverAPerformer) {
    const SuggestionInput input =
        Tree({Album("Band\\First", " ", 6), Album("Compilations\\Summer", " ", 5)});
    const std::vector<PatternSuggestion> set = SuggestSet(input);
    EXPECT_EQ(Patterns(set), (std::vector<std::string>{
                                 "Compilations\\[album]\\[track number] [track]",
                                 "[artist]\\[album]\\[track number] [track]"}));
    for (std::size_t i = 6; i < input.paths.size(); ++i) {
        bool written = false;
        const TagFields values = Read(set, input.paths[i], written);
        EXPECT_TRUE(written);
        EXPECT_STREQ(values.artist.CStr(), "") << input.paths[i];
        EXPECT_STREQ(values.album.CStr(), "Summer");
    }
}

// An album folder right below the top: reading a performer there would
// read the top folder's own name.
TEST(SuggestSet, NothingIsReadFromTheFolderAboveTheTree) {
    const SuggestionInput input = Tree({Album("Album One", " - ", 5), Album("Album Two", " - ", 4)});
    const std::vector<PatternSuggestion> set = SuggestSet(input);
    ASSERT_EQ(Patterns(set), std::vector<std::string>{"[album]\\[track number] - [track]"});
}

TEST(SuggestSet, NothingThatFitsGivesAnEmptySet) {
    SuggestionInput input = Tree({});
    EXPECT_TRUE(SuggestSet(input).empty());
    input.paths = {std::string(kTop) + "\\-.mp3"};
    EXPECT_TRUE(SuggestSet(input).empty());
}

// Single layouts are judged as the set is: one that misreads a folder
// (here "CD 1" as an album) ranks below one that reads only right, though
// it fits more files.
TEST(SuggestPatterns, RanksLayoutsByFilesReadRight) {
    const SuggestionInput input =
        Tree({Album("Band\\First", " - ", 6), Album("Band\\Box\\CD 1", " - ", 3)});
    const std::vector<PatternSuggestion> ranked = SuggestPatterns(input, 10);
    ASSERT_GE(ranked.size(), 2u);
    EXPECT_EQ(ranked[0].pattern, "[artist]\\[album]\\CD [disc]\\[track number] - [track]");
    EXPECT_EQ(ranked[0].fits, 3u);
    EXPECT_EQ(ranked[0].values, 12u);
    EXPECT_EQ(ranked[0].files, 9u);
    const auto plain = std::find_if(ranked.begin(), ranked.end(), [](const PatternSuggestion& s) {
        return s.pattern == "[artist]\\[album]\\[track number] - [track]";
    });
    ASSERT_NE(plain, ranked.end());
    EXPECT_EQ(plain->fits, 9u) << "it fits the disc's files too, reading them wrong";
    EXPECT_EQ(SuggestPatterns(input, 1).size(), 1u);
}

TEST(CommonAudio, ExtensionsInAnyCaseAndOnlyOfTheName) {
    EXPECT_TRUE(HasCommonAudioExtension("C:\\A\\b.MP3"));
    EXPECT_TRUE(HasCommonAudioExtension("C:\\A\\b.flac"));
    EXPECT_FALSE(HasCommonAudioExtension("C:\\A\\cover.jpg"));
    EXPECT_FALSE(HasCommonAudioExtension("C:\\A.mp3\\log"));
    EXPECT_FALSE(HasCommonAudioExtension("C:\\A\\playlist.m3u"));
}

}  // namespace
