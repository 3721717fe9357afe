#include "util/text_lines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Line index of text, or "<none>" when there is no such line.
std::string Line(std::int32_t index, const char* text) {
    const std::unique_ptr<char[]> line(GetLine(index, text));
    return line ? line.get() : "<none>";
}

TEST(GetLine, SplitsAtCarriageReturnsSkippingLineFeeds) {
    EXPECT_EQ(Line(0, "one\r\ntwo"), "one");
    EXPECT_EQ(Line(1, "one\r\ntwo"), "two");
    EXPECT_EQ(Line(2, "one\r\ntwo"), "<none>");
    EXPECT_EQ(Line(0, "one\r\n"), "one");
    EXPECT_EQ(Line(1, "one\r\n"), "<none>");
    EXPECT_EQ(Line(0, ""), "<none>");
    EXPECT_EQ(Line(1, "a\r\n\n\nb"), "b");
    EXPECT_EQ(Line(1, "a\r\rb"), "") << "two returns enclose an empty line";
    EXPECT_EQ(Line(2, "a\r\rb"), "b");
    EXPECT_EQ(Line(0, "a\nb"), "a\nb") << "a lone line feed is no break";
    EXPECT_EQ(Line(-1, "a"), "<none>");
    EXPECT_EQ(Line(0, nullptr), "<none>");
}

TEST(GetLine, LeavesTheTextAlone) {
    const char text[] = "x\r\ny";
    EXPECT_EQ(Line(0, text), "x");
    EXPECT_STREQ(text, "x\r\ny");
}

}  // namespace
