#include "tagging/pattern_suggest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Numbered(const std::string& folder, int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
        paths.push_back(folder + "\\" + (i < 10 ? "0" : "") + std::to_string(i) + " - Song " +
                        std::to_string(i) + ".mp3");
    }
    return paths;
}

std::vector<std::string> Plain(const std::string& folder, int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) paths.push_back(folder + "\\Song " + std::to_string(i) + ".mp3");
    return paths;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const PatternSuggestion& Find(const std::vector<PatternSuggestion>& ranked,
                              const std::string& pattern) {
    for (const PatternSuggestion& s : ranked) {
        if (s.pattern == pattern) return s;
    }
    static const PatternSuggestion none;
    ADD_FAILURE() << pattern << " not ranked";
    return none;
}

TEST(PatternSuggest, TheTreesOwnLayoutComesFirstAndFitsEveryFile) {
    const auto paths = Join(Numbered("\\Some Band\\Best Of (1998)", 12),
                            Numbered("\\Other Band\\Live (2001)", 9));
    const auto ranked = SuggestPatterns(paths, 10);
    ASSERT_EQ(ranked.size(), 10u);
    EXPECT_EQ(ranked[0].pattern, "[artist]\\[album] ([year])\\[track number] - [track]");
    EXPECT_EQ(ranked[0].fits, 21u);
    EXPECT_EQ(ranked[0].files, 21u);
    EXPECT_EQ(ranked[0].values, 21u * 5);
    for (std::size_t i = 1; i < ranked.size(); ++i) {
        EXPECT_GE(ranked[i - 1].values, ranked[i].values);
    }
}

// Values decide: a layout that names fewer fields wins when it reads more
// values from the collection, and loses when it does not.
TEST(PatternSuggest, ALessSpecificPatternWinsOnlyWhenItReadsMore) {
    const std::string specific = "[artist]\\[album]\\[track number] - [track]";
    const std::string general = "[artist]\\[album]\\[track]";
    const auto mostlyPlain = Join(Numbered("\\Band\\Album", 5), Plain("\\Band\\Other", 10));
    auto ranked = SuggestPatterns(mostlyPlain, 30);
    EXPECT_EQ(Find(ranked, general).values, 15u * 3);
    EXPECT_EQ(Find(ranked, specific).values, 5u * 4);
    EXPECT_EQ(ranked[0].pattern, general);

    const auto mostlyNumbered = Join(Numbered("\\Band\\Album", 10), Plain("\\Band\\Other", 2));
    ranked = SuggestPatterns(mostlyNumbered, 30);
    EXPECT_EQ(Find(ranked, specific).values, 10u * 4);
    EXPECT_EQ(Find(ranked, general).values, 12u * 3);
    EXPECT_EQ(ranked[0].pattern, specific);
}

TEST(PatternSuggest, TiesKeepTheCandidatesOrderAndTopCuts) {
    const auto ranked = SuggestPatterns({}, 4);
    ASSERT_EQ(ranked.size(), 4u);
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        EXPECT_EQ(ranked[i].pattern, CandidatePatterns()[i]);
        EXPECT_EQ(ranked[i].fits, 0u);
    }
    EXPECT_EQ(SuggestPatterns({"\\a.mp3"}, 1000).size(), CandidatePatterns().size());
}

// Seen from the folder, a file at its top has no folders above it: layouts
// that need them do not fit, whatever the folder itself is called.
TEST(PatternSuggest, OnlyThePartBelowTheFolderIsALayout) {
    const auto ranked = SuggestPatterns(Numbered("", 6), 30);
    EXPECT_EQ(Find(ranked, "[artist] - [album]\\[track number] - [track]").fits, 0u);
    EXPECT_EQ(Find(ranked, "[track number] - [track]").fits, 6u);
}

}  // namespace
