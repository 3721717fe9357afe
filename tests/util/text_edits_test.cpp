#include "util/text_edits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Sanitised(std::string text, const StringList* from = nullptr,
                      const StringList* to = nullptr, bool keepBackslashes = false) {
    SanitiseFileName(text.data(), from, to, keepBackslashes);
    return text.c_str();
}

template <void (*Edit)(char*)>
std::string Edited(std::string text) {
    Edit(text.data());
    return text.c_str();
}

std::string Collapsed(std::string path, bool keepLeadingPair) {
    CollapseDoubleBackslashes(path.data(), keepLeadingPair);
    return path.c_str();
}

TEST(DefaultCharReplacement, SubstitutesOnlyForbiddenCharactersIntoAnEmptyBuffer) {
    const std::string forbidden = "\"<>?:\\/*|";
    const std::string substitutes = "'\xAB\xBB\xBF;----";
    for (std::size_t i = 0; i < forbidden.size(); ++i) {
        CharReplacement r;
        DefaultCharReplacement(forbidden[i], r);
        EXPECT_EQ(r.CStr(), substitutes.substr(i, 1)) << forbidden[i];
    }
    CharReplacement none;
    DefaultCharReplacement('a', none);
    EXPECT_TRUE(none.Empty());
    CharReplacement taken;
    ASSERT_TRUE(taken.Assign("x"));
    DefaultCharReplacement('?', taken);
    EXPECT_STREQ(taken.CStr(), "x");
}

TEST(SanitiseFileName, ReplacesWithTheBuiltInTable) {
    EXPECT_EQ(Sanitised("a?b:c"), "a\xBF" "b;c");
    EXPECT_EQ(Sanitised("C:\\x\\y", nullptr, nullptr, true), "C;\\x\\y");
    EXPECT_EQ(Sanitised("C:\\x\\y"), "C;-x-y");
    EXPECT_EQ(Sanitised("<a|b*\"c\">"), "\xAB" "a-b-'c'\xBB");
}

TEST(SanitiseFileName, UserTableComesFirst) {
    StringList from, to;
    from.AddString("[Space]");
    to.AddString("_");
    from.AddString("a");
    to.AddString("b");
    from.AddString("?");
    to.AddString("!");
    from.AddString(":");
    to.AddString("");
    from.AddString("\\");
    to.AddString("+");
    from.AddString("x");  // no partner in to: skipped
    EXPECT_EQ(Sanitised("a b?c:x", &from, &to), "b_b!c;x")
        << "an empty user entry leaves the built-in substitute";
    EXPECT_EQ(Sanitised("d\\e", &from, &to), "d+e");
    EXPECT_EQ(Sanitised("d\\e", &from, &to, true), "d\\e");
    EXPECT_EQ(Sanitised("a b", &from, nullptr), "a b");
}

TEST(SanitiseFileName, DropsTrailingDotsOnly) {
    EXPECT_EQ(Sanitised("name..."), "name");
    EXPECT_EQ(Sanitised("..."), "");
    EXPECT_EQ(Sanitised(".a.b "), ".a.b ");
    EXPECT_EQ(Sanitised(""), "");
}

TEST(LineBreakEscapes, EscapeOnlyCrLfPairs) {
    EXPECT_EQ(Edited<EscapeLineBreaks>("a\r\nb\rc\nd\r\r\n"), "a\\nb\rc\nd\r\\n");
    EXPECT_EQ(Edited<UnescapeLineBreaks>("a\\nb\\\\nc\\"), "a\r\nb\\\r\nc\\");
    const std::string original = "one\r\ntwo\r\n";
    EXPECT_EQ(Edited<UnescapeLineBreaks>(Edited<EscapeLineBreaks>(original)), original);
}

TEST(CollapseDoubleBackslashes, HalvesRunsRoundingUp) {
    EXPECT_EQ(Collapsed("\\\\server\\\\share\\\\\\x\\\\\\\\y", true),
              "\\\\server\\share\\\\x\\\\y");
    EXPECT_EQ(Collapsed("\\\\server\\\\share", false), "\\server\\share");
    EXPECT_EQ(Collapsed("\\", true), "\\");
    EXPECT_EQ(Collapsed("", false), "");
    EXPECT_EQ(Collapsed("a\\\\", false), "a\\");
}

TEST(RemoveSpaceBeforeBackslash, RemovesWholeRunsBeforeBackslashesOnly) {
    EXPECT_EQ(Edited<RemoveSpaceBeforeBackslash>("a  \\b"), "a\\b");
    EXPECT_EQ(Edited<RemoveSpaceBeforeBackslash>("a\\ b \\ c \\\\ "), "a\\ b\\ c\\\\ ");
    EXPECT_EQ(Edited<RemoveSpaceBeforeBackslash>("   \\"), "\\");
    EXPECT_EQ(Edited<RemoveSpaceBeforeBackslash>("no break "), "no break ");
}

}  // namespace
