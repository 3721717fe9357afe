#include "tagging/tag_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Trimmed(const char* text) {
    PathText t;
    EXPECT_TRUE(t.Assign(text));
    TrimSpaces(t);
    return t.CStr();
}

TEST(TrimSpaces, RemovesBlanksOnlyAtBothEnds) {
    EXPECT_EQ(Trimmed("  A Song  "), "A Song");
    EXPECT_EQ(Trimmed("   "), "");
    EXPECT_EQ(Trimmed(""), "");
    EXPECT_EQ(Trimmed("\tA\t"), "\tA\t") << "only character 32 counts";
    EXPECT_EQ(Trimmed(" a b "), "a b");
}

TEST(FixTwoDigitYear, WidensTwoDigitYears) {
    const std::pair<int, int> cases[] = {
        {0, 0},        {1, 2001},     {4, 2004},   {49, 2049}, {50, 1950},
        {99, 1999},    {100, 100},    {1999, 1999}, {-5, 1995}, {-1950, 1950},
        {-3000, 900}, {INT_MIN, INT_MIN + 3900}, {INT_MAX, INT_MAX},
    };
    for (auto [year, expected] : cases) EXPECT_EQ(FixTwoDigitYear(year), expected) << year;
}

using Writes = std::vector<std::pair<std::string, std::string>>;

Writes PlanFor(TagFields fields) {
    NormaliseTagFields(fields);
    const TagWritePlan plan = PlanTagWrites(fields);
    Writes writes;
    for (std::size_t i = 0; i < plan.count; ++i) {
        writes.emplace_back(plan.writes[i].fieldName, plan.writes[i].value.CStr());
    }
    return writes;
}

TEST(PlanTagWrites, AllFieldsInTheirOrder) {
    TagFields f;
    EXPECT_TRUE(f.artist.Assign(" Band "));
    EXPECT_TRUE(f.album.Assign("Best Of"));
    EXPECT_TRUE(f.title.Assign(" A Song"));
    EXPECT_TRUE(f.genre.Assign("Jazz"));
    f.year = 98;
    f.trackNumber = 7;
    EXPECT_EQ(PlanFor(f), (Writes{{"Artist", "Band"}, {"Album", "Best Of"},
                                  {"Title", "A Song"}, {"Genre", "Jazz"},
                                  {"Year", "1998"}, {"Track", "7"}}));
}

TEST(PlanTagWrites, SkipsAbsentValues) {
    TagFields f;
    EXPECT_TRUE(PlanFor(f).empty());
    EXPECT_TRUE(f.title.Assign("   "));
    EXPECT_TRUE(PlanFor(f).empty()) << "blanks alone count as absent";
    f.trackNumber = 7;
    EXPECT_EQ(PlanFor(f), (Writes{{"Track", "7"}}));
    f.trackNumber = -3;
    EXPECT_TRUE(f.genre.Assign("x"));
    EXPECT_EQ(PlanFor(f), (Writes{{"Genre", "x"}, {"Track", "-3"}}));
    f = TagFields{};
    f.year = INT_MIN;
    EXPECT_EQ(PlanFor(f), (Writes{{"Year", std::to_string(INT_MIN + 3900)}}));
}

}  // namespace
