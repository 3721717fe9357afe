#include "util/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

std::string FixedPoint(float x, std::int32_t decimals) {
    NumberText out;
    FormatFixedPoint(x, decimals, out);
    return out.CStr();
}

std::string ByteSize(std::int64_t size) {
    NumberText out;
    FormatByteSize(size, out);
    return out.CStr();
}

TEST(FormatFixedPoint, PutsThePointBeforeTheLastDecimals) {
    EXPECT_EQ(FixedPoint(1.5f, 2), "1.50");
    EXPECT_EQ(FixedPoint(0.5f, 2), ".50");
    EXPECT_EQ(FixedPoint(12.0f, 0), "12.");
    EXPECT_EQ(FixedPoint(0.0f, 3), "0");
    EXPECT_EQ(FixedPoint(-1.5f, 2), "-1.50");
    EXPECT_EQ(FixedPoint(-0.5f, 2), "-.50");
    EXPECT_EQ(FixedPoint(1.01f, 2), "1.00") << "truncation, not rounding";
    EXPECT_EQ(FixedPoint(123.456f, 1), "123.4");
}

TEST(FormatFixedPoint, PadsNumbersShorterThanTheirDecimals) {
    EXPECT_EQ(FixedPoint(0.05f, 2), ".05");
    EXPECT_EQ(FixedPoint(-0.05f, 2), "-.05");
    EXPECT_EQ(FixedPoint(0.001f, 2), ".00");
    EXPECT_EQ(FixedPoint(0.015625f, 6), ".015625");
}

TEST(FormatFixedPoint, StaysBoundedForExtremeArguments) {
    EXPECT_EQ(FixedPoint(1e30f, 2), "21474836.47");
    EXPECT_EQ(FixedPoint(-1e30f, 2), "-21474836.48");
    EXPECT_EQ(FixedPoint(NAN, 2), ".00");
    EXPECT_EQ(FixedPoint(1.5f, -3), "1.");
    const std::string many = FixedPoint(1e-30f, 200);
    EXPECT_EQ(many.size(), NumberText::kMaxLength);
    EXPECT_EQ(many.substr(0, 3), ".00");
}

TEST(FormatByteSize, FollowsTheTableExactly) {
    const struct {
        std::int64_t size;
        const char* text;
    } table[] = {
        {0, "0 bytes"}, {1, "1 bytes"}, {1023, "1023 bytes"},
        {1024, "1.00 KB"}, {1536, "1.50 KB"}, {1048575, "1023.99 KB"},
        {1048576, "1.00 MB"}, {1100000, "1.04 MB"}, {1073741824, "1.00 GB"},
        {5000000000, "4.65 GB"}, {5LL << 40, "5120.00 GB"},
        {-1023, "-1023 bytes"}, {-1536, "-1.50 KB"},
    };
    for (const auto& row : table) EXPECT_EQ(ByteSize(row.size), row.text) << row.size;
}

TEST(Log10OfMagnitude, TakesTheMagnitudeAndAConstantForZero) {
    EXPECT_DOUBLE_EQ(Log10OfMagnitude(1000), 3);
    EXPECT_DOUBLE_EQ(Log10OfMagnitude(-0.01), -2);
    EXPECT_EQ(Log10OfMagnitude(0), 1e-20);
}

}  // namespace
