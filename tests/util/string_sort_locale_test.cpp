// Case-insensitive sorting under a locale the host may have set: the
// run-time's locale decides which bytes are letters, the order of the bytes
// is the same on every run-time.
#include <clocale>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

TEST_F(RunTimeLocale, AccentedLettersAreLoweredAndBytesOrderedUnsigned) {
    EXPECT_EQ(CompareIgnoringCase("\xC9t\xE9", "\xE9T\xC9"), 0) << "the locale lowers accented capitals";
    EXPECT_EQ(CompareIgnoringCase("\xD6", "\xF6"), 0);
    // Bytes from 0x80 up sort after every ASCII character, letters lowered.
    const char* const ascending[] = {"_x", "a", "Z", "\xE9t\xE9", "\xF6z", "\xFF"};
    for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
        EXPECT_LT(Sign(CompareIgnoringCase(ascending[i], ascending[i + 1])), 0)
            << ascending[i] << " " << ascending[i + 1];
        EXPECT_GT(Sign(CompareIgnoringCase(ascending[i + 1], ascending[i])), 0)
            << ascending[i + 1] << " " << ascending[i];
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
