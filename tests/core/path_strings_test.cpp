#include "hostenv/path_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using PathFunction = bool (*)(const char*, PathText&);

// The text a helper leaves, marked when the helper says it was cut.
std::string Apply(PathFunction f, const std::string& path) {
    PathText out;
    EXPECT_TRUE(out.Assign("left over"));
    const bool whole = f(path.c_str(), out);
    return whole ? out.CStr() : std::string("cut:") + out.CStr();
}

struct PathCase {
    PathFunction function;
    const char* name;
    const char* path;
    const char* expected;
};

TEST(PathStrings, SplitsPaths) {
    const PathCase cases[] = {
        {GetExtension, "GetExtension", "C:\\Music\\song.mp3", ".mp3"},
        {GetExtension, "GetExtension", "C:\\Music.d\\song", "."},
        {GetExtension, "GetExtension", "song", "."},
        {GetExtension, "GetExtension", "song.", "."},
        {GetExtension, "GetExtension", "archive.tar.gz", ".gz"},
        {GetExtension, "GetExtension", "", "."},
        {GetExtension, "GetExtension", "C:\\dir\\.cfg", ".cfg"},
        {StripExtension, "StripExtension", "C:\\Music\\song.mp3", "C:\\Music\\song"},
        {StripExtension, "StripExtension", "C:\\Music.d\\song", "C:\\Music.d\\song"},
        {StripExtension, "StripExtension", "archive.tar.gz", "archive.tar"},
        {StripExtension, "StripExtension", "song.", "song"},
        {StripExtension, "StripExtension", "C:\\dir\\.cfg", "C:\\dir\\"},
        {GetFileNamePart, "GetFileNamePart", "C:\\dir\\", ""},
        {GetFileNamePart, "GetFileNamePart", "song.mp3", "song.mp3"},
        {GetFileNamePart, "GetFileNamePart", "C:\\dir\\song.mp3", "song.mp3"},
        {GetFolderPart, "GetFolderPart", "C:\\dir\\song.mp3", "C:\\dir\\"},
        {GetFolderPart, "GetFolderPart", "song.mp3", "song.mp3"},
        {GetFolderPart, "GetFolderPart", "\\song.mp3", "\\"},
        {GetBaseName, "GetBaseName", "C:\\Music.d\\song.mp3", "song"},
        {GetBaseName, "GetBaseName", "C:\\Music.d\\song", "song"},
        {GetLastFolderName, "GetLastFolderName", "C:\\a\\b\\", "b"},
        {GetLastFolderName, "GetLastFolderName", "C:\\a\\b", "b"},
        {GetLastFolderName, "GetLastFolderName", "C:\\", ""},
        {GetLastFolderName, "GetLastFolderName", "b", ""},
        {GetLastFolderName, "GetLastFolderName", "", ""},
        {GetLastFolderName, "GetLastFolderName", "C:\\a\\\\", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(Apply(c.function, c.path), c.expected) << c.name << "(" << c.path << ")";
    }
}

TEST(PathStrings, OutputMayBeTheInput) {
    PathText text;
    ASSERT_TRUE(text.Assign("C:\\Music\\song.mp3"));
    EXPECT_TRUE(GetFileNamePart(text.CStr(), text));
    EXPECT_STREQ(text.CStr(), "song.mp3");
    EXPECT_TRUE(StripExtension(text.CStr(), text));
    EXPECT_STREQ(text.CStr(), "song");
}

TEST(PathStrings, AppendBackslash) {
    PathText text;
    EXPECT_TRUE(AppendBackslash(text));
    EXPECT_STREQ(text.CStr(), "");
    ASSERT_TRUE(text.Assign("C:\\dir"));
    EXPECT_TRUE(AppendBackslash(text));
    EXPECT_STREQ(text.CStr(), "C:\\dir\\");
    EXPECT_TRUE(AppendBackslash(text));
    EXPECT_STREQ(text.CStr(), "C:\\dir\\");

    const std::string full(259, 'a');
    ASSERT_TRUE(text.Assign(full.c_str()));
    EXPECT_FALSE(AppendBackslash(text)) << "a full buffer has no room for the backslash";
    EXPECT_EQ(text.CStr(), full);
    text.Truncate(258);
    EXPECT_TRUE(AppendBackslash(text));
    EXPECT_EQ(text.Length(), 259u);
    EXPECT_EQ(text.Last(), '\\');
}

TEST(PathStrings, CopyStringBounded) {
    char out[8];
    EXPECT_FALSE(CopyStringBounded(out, "abcdef", 4));
    EXPECT_STREQ(out, "abc");
    EXPECT_TRUE(CopyStringBounded(out, "abcdef", 7));
    EXPECT_STREQ(out, "abcdef");
    EXPECT_FALSE(CopyStringBounded(out, "abcdefgh", 1));
    EXPECT_STREQ(out, "");
    out[0] = 'z';
    EXPECT_FALSE(CopyStringBounded(out, "abc", 0));
    EXPECT_EQ(out[0], 'z') << "size 0 writes nothing";
}

TEST(PathStrings, OverlongResultsKeepTheirFirst259CharactersAndSaySo) {
    const std::string folder = "C:\\" + std::string(400, 'd') + "\\";
    const std::string path = folder + std::string(300, 'n') + ".mp3";
    EXPECT_EQ(Apply(GetFolderPart, path), "cut:" + folder.substr(0, 259));
    EXPECT_EQ(Apply(GetFileNamePart, path),
              "cut:" + (std::string(300, 'n') + ".mp3").substr(0, 259));
    EXPECT_EQ(Apply(StripExtension, path), "cut:" + path.substr(0, 259));
    EXPECT_EQ(Apply(GetExtension, path), ".mp3") << "a short result of a long path is whole";
    EXPECT_EQ(Apply(GetBaseName, path), "cut:" + std::string(259, 'n'));
    const std::string longExtension = "a." + std::string(300, 'e');
    EXPECT_EQ(Apply(GetExtension, longExtension),
              "cut:" + ("." + std::string(300, 'e')).substr(0, 259));
    EXPECT_EQ(Apply(GetLastFolderName, folder), "cut:" + std::string(259, 'd'));
    const std::string exactly259 = "C:\\" + std::string(255, 'x');
    EXPECT_EQ(Apply(StripExtension, exactly259), exactly259);
}

}  // namespace
