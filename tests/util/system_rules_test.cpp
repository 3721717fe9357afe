#include "util/system_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaleLength, WidensHorizontalLengthsAwayFrom96Dpi) {
    EXPECT_EQ(ScaleLengthX(100, 96), 100);
    EXPECT_EQ(ScaleLengthX(100, 120), 132);
    EXPECT_EQ(ScaleLengthY(100, 120), 125);
    EXPECT_EQ(ScaleLengthY(100, 96), 100);
    EXPECT_EQ(ScaleLengthX(-100, 120), -132) << "truncation toward zero";
    EXPECT_EQ(ScaleLengthX(10, 72), 7);
    EXPECT_EQ(ScaleLengthY(1000000000, 192), 2000000000) << "no overflow on the way";
}

TEST(IsXpFamilyVersion, AcceptsFiveOneAndFiveTwoOnly) {
    EXPECT_TRUE(IsXpFamilyVersion(5, 1));
    EXPECT_TRUE(IsXpFamilyVersion(5, 2));
    EXPECT_FALSE(IsXpFamilyVersion(5, 0));
    EXPECT_FALSE(IsXpFamilyVersion(4, 10));
    EXPECT_FALSE(IsXpFamilyVersion(6, 0));
    EXPECT_FALSE(IsXpFamilyVersion(10, 0));
}

TEST(PackDllVersion, KeepsSixteenBitsOfEach) {
    EXPECT_EQ(PackDllVersion(6, 0), 0x00060000u);
    EXPECT_EQ(PackDllVersion(0x12345, 0x10002), 0x23450002u);
}

}  // namespace
