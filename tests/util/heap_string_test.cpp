#include "util/heap_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HeapString, CapacityGrowsExactlyAndNeverShrinks) {
    HeapString empty("");
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(empty.Capacity(), 1);
    EXPECT_EQ(HeapString().Capacity(), 1);
    EXPECT_STREQ(HeapString(nullptr).Text(), "");

    HeapString s;
    s = "abc";
    EXPECT_EQ(s.Capacity(), 4);
    s = "x";
    EXPECT_EQ(s.Capacity(), 4);
    EXPECT_STREQ(s.Text(), "x");
    const HeapString copy(s);
    EXPECT_EQ(copy.Capacity(), 4) << "a copy takes over the source's capacity";
    EXPECT_EQ(copy.Length(), 1);

    HeapString target;
    target = s;
    EXPECT_EQ(target.Capacity(), 4);
    HeapString wide("a longer text");
    wide = s;
    EXPECT_EQ(wide.Capacity(), 14);
    EXPECT_STREQ(wide.Text(), "x");
}

TEST(HeapString, SelfAndSuffixAssignmentKeepTheText) {
    HeapString s("abcdef");
    const HeapString& same = s;
    s = same;
    EXPECT_STREQ(s.Text(), "abcdef");
    s = s.Text() + 2;
    EXPECT_STREQ(s.Text(), "cdef");
    EXPECT_EQ(s.Capacity(), 7);
}

TEST(HeapString, ConcatenationHasExactCapacityAndKeepsOperands) {
    const HeapString left("abc");
    const HeapString right("defg");
    const HeapString both = left + right;
    EXPECT_STREQ(both.Text(), "abcdefg");
    EXPECT_EQ(both.Length(), 7);
    EXPECT_EQ(both.Capacity(), 8);
    EXPECT_STREQ((left + "xy").Text(), "abcxy");
    EXPECT_STREQ(("xy" + right).Text(), "xydefg");
    EXPECT_EQ(("" + HeapString()).Capacity(), 1);
    EXPECT_STREQ(left.Text(), "abc");
    EXPECT_STREQ(right.Text(), "defg");
}

TEST(HeapString, ComparesUnsignedBytesWithPrefixSmaller) {
    const HeapString abc("abc");
    EXPECT_EQ(HeapString("ab").Compare(abc), -1);
    EXPECT_EQ(abc.Compare("ab"), 1);
    EXPECT_EQ(abc.Compare("abc"), 0);
    EXPECT_EQ(abc.Compare("b"), -1);
    EXPECT_EQ(abc.Compare("ABC"), 1) << "case-sensitive";
    const std::string high(1, static_cast<char>(200));
    const std::string low(1, static_cast<char>(100));
    EXPECT_EQ(HeapString(high.c_str()).Compare(low.c_str()), 1);
    EXPECT_EQ(HeapString(low.c_str()).Compare(high.c_str()), -1);

    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE(abc == HeapString("abc"));
    EXPECT_FALSE(abc == "abd");
    EXPECT_TRUE(abc < "abd");
    EXPECT_TRUE(abc <= "abc");
    EXPECT_TRUE(abc >= "abc");
    EXPECT_TRUE(abc > HeapString("ab"));
    EXPECT_FALSE(abc > "abc");
}

}  // namespace
