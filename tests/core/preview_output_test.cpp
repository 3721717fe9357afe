#include "tools/preview/preview_output.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PreviewOutput, JsonLineOfAWorkedExample) {
    const PreviewResult r = PreviewPath(
        "[artist]\\[album] ([year])\\[track number] - [track]",
        "E:\\Some Band\\Best Of (98)\\07 - A Song.flac");
    EXPECT_EQ(FormatJsonLine(r),
              "{\"path\": \"E:\\\\Some Band\\\\Best Of (98)\\\\07 - A Song.flac\", "
              "\"match\": {\"artist\": \"Some Band\", \"album\": \"Best Of\", "
              "\"title\": \" A Song\", \"genre\": \"\", \"year\": 98, \"trackNumber\": 7}, "
              "\"write\": [[\"Artist\", \"Some Band\"], [\"Album\", \"Best Of\"], "
              "[\"Title\", \"A Song\"], [\"Year\", \"1998\"], [\"Track\", \"7\"]], "
              "\"fits\": true, \"used\": 0}");
}

TEST(PreviewOutput, NothingRecognised) {
    EXPECT_EQ(FormatJsonLine(PreviewPath("[artist]-[track]", "C:\\Untitled.mp3")),
              "{\"path\": \"C:\\\\Untitled.mp3\", \"match\": {\"artist\": \"\", "
              "\"album\": \"\", \"title\": \"\", \"genre\": \"\", \"year\": 0, "
              "\"trackNumber\": 0}, \"write\": [], \"fits\": false, \"used\": null}");
    const PreviewResult empty = PreviewPath("", "C:\\A-B.mp3");
    EXPECT_TRUE(empty.writes.Empty()) << "an empty pattern matches nothing";
}

TEST(PreviewOutput, JsonEscapesEveryByte) {
    std::string out;
    const char bytes[] = {'"', '\\', '/', 0, '\n', 0x1f, 0x7f, '\x80', '\xe9', '\xff'};
    AppendJsonString(out, bytes, sizeof bytes);
    EXPECT_EQ(out, "\"\\\"\\\\/\\u0000\\u000a\\u001f\x7f\\u0080\\u00e9\\u00ff\"");
}

TEST(PreviewOutput, TableAlignsColumns) {
    PatternChoice choice;
    choice.Put(0, "[artist]-[track]");
    choice.Put(1, "[track]");
    std::vector<PreviewResult> rows = {
        PreviewPath(choice, "C:\\Some Band-A Song.mp3"),
        PreviewPath(choice, "C:\\Song.mp3"),
        PreviewPath(choice, "x.mp3"),
    };
    const std::string table = FormatTable(rows);
    EXPECT_EQ(table,
              "Path                     Artist     Album  Title   Genre  Year  Track  Fits  Used\n"
              "-----------------------  ---------  -----  ------  -----  ----  -----  ----  ----\n"
              "C:\\Some Band-A Song.mp3  Some Band         A Song                      yes   1\n"
              "C:\\Song.mp3                                Song                        yes   2\n"
              "x.mp3                                                                  no\n");
}

// With only-when-fits, what no pattern fits is written nowhere; without,
// the pattern's own values are, as the plugin always did.
TEST(PreviewOutput, WritesFollowThePluginsChoice) {
    PatternChoice choice;
    choice.Put(0, "[artist] - [track]");
    const PreviewResult loose = PreviewPath(choice, "C:\\Band - Live\\cover.jpg");
    EXPECT_FALSE(loose.fits);
    EXPECT_EQ(loose.used, -1);
    EXPECT_FALSE(loose.writes.Empty());
    choice.onlyWhenFits = true;
    EXPECT_TRUE(PreviewPath(choice, "C:\\Band - Live\\cover.jpg").writes.Empty());
    EXPECT_FALSE(PreviewPath(choice, "C:\\Band - Song.mp3").writes.Empty());
}

}  // namespace
