#include "util/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedText, KeepsTheFirstCharactersThatFit) {
    FixedText<5> text;
    EXPECT_TRUE(text.Assign("abcd"));
    EXPECT_STREQ(text.CStr(), "abcd");
    EXPECT_FALSE(text.Assign("abcdef"));
    EXPECT_STREQ(text.CStr(), "abcd");
    EXPECT_FALSE(text.Append("x"));
    EXPECT_STREQ(text.CStr(), "abcd");
    ASSERT_TRUE(text.Assign("ab"));
    EXPECT_FALSE(text.Append("cdef"));
    EXPECT_STREQ(text.CStr(), "abcd");
    EXPECT_TRUE(text.Assign(nullptr));
    EXPECT_TRUE(text.Empty());
    EXPECT_EQ(text.Last(), '\0');
}

TEST(FixedText, TerminatesUnterminatedPlatformOutput) {
    FixedText<4> text;
    std::memcpy(text.Data(), "wxyz", 4);
    text.Terminate();
    EXPECT_STREQ(text.CStr(), "wxy");
    const char raw[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(BoundedLength(raw, 4), 4u);
    EXPECT_EQ(BoundedLength("ab", 4), 2u);
}

TEST(FixedText, BoundedCopyHandlesOverlapAndZeroCapacity) {
    char buffer[8] = "abcdefg";
    EXPECT_TRUE(BoundedCopy(buffer, sizeof buffer, buffer + 2, 5));
    EXPECT_STREQ(buffer, "cdefg");
    buffer[0] = 'q';
    EXPECT_FALSE(BoundedCopy(buffer, 0, "x", 1));
    EXPECT_EQ(buffer[0], 'q');
}

}  // namespace
