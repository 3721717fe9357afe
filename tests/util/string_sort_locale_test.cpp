// Case-insensitive sorting under a locale the host may have set: the order
// is the C run-time's own, so it changes with the run-time's locale.
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <string.h>

#include "util/string_list.h"

namespace {

// Sets a locale for one test and puts the process's own back afterwards.
class RunTimeLocale : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "English_United States.1252"), nullptr);
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

    std::string previous_;
};

int Sign(int n) { return (n > 0) - (n < 0); }

TEST_F(RunTimeLocale, CaseInsensitiveComparisonIsTheRunTimes) {
    ASSERT_EQ(_stricmp("\xC9", "\xE9"), 0) << "the locale lowers accented capitals";
    const char* const texts[] = {"\xC9t\xE9", "\xE9T\xC9", "_x", "a", "Z", "\xD6", "\xF6z", "\xFF"};
    for (const char* left : texts) {
        for (const char* right : texts) {
            EXPECT_EQ(Sign(CompareIgnoringCase(left, right)), Sign(_stricmp(left, right)))
                << left << " " << right;
        }
    }
}

TEST_F(RunTimeLocale, SortStringsIgnoresTheCaseOfAccentedLetters) {
    StringList list;
    for (const char* text : {"\xC9" "b", "\xE9" "a", "\xC9" "c"}) list.AddString(text);
    list.SortStrings(true);
    std::vector<std::string> sorted;
    for (std::int32_t i = 0; i < list.count; ++i) sorted.push_back(list.GetString(i)->Text());
    EXPECT_EQ(sorted, (std::vector<std::string>{"\xE9" "a", "\xC9" "b", "\xC9" "c"}));
}

}  // namespace
