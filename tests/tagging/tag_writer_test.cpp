// WriteTags against the test decoders in this program's decoder folder:
// the recording decoder logs every SetIDTagElement call to "<file>.calls".
#include "tagging/tag_writer.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

class TagWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "pt_tw_" + std::to_string(GetCurrentProcessId()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& path : made_) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            DeleteFileA((path + ".calls").c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    // A read-only file, so that a test sees whether the attributes changed.
    std::string MakeFile(const std::string& name) {
        const std::string path = folder_ + name;
        if (FILE* file = std::fopen(path.c_str(), "wb")) std::fclose(file);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        made_.push_back(path);
        return path;
    }
    static bool IsReadOnly(const std::string& path) {
        return GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY;
    }
    static Calls CallsFor(const std::string& path) {
        Calls calls;
        FILE* file = std::fopen((path + ".calls").c_str(), "rb");
        if (!file) return calls;
        char line[1024];
        while (std::fgets(line, sizeof line, file)) {
            std::string text = line;
            text.erase(text.find_last_not_of("\r\n") + 1);
            calls.push_back(text.substr(path.size() + 1));  // the path, checked apart
            EXPECT_EQ(text.substr(0, path.size() + 1), path + "|");
        }
        std::fclose(file);
        return calls;
    }

    std::string folder_;
    std::vector<std::string> made_;
};

TagFields Fields(const char* artist, const char* album, const char* title, const char* genre,
                 int year, int track) {
    TagFields fields;
    EXPECT_TRUE(fields.artist.Assign(artist));
    EXPECT_TRUE(fields.album.Assign(album));
    EXPECT_TRUE(fields.title.Assign(title));
    EXPECT_TRUE(fields.genre.Assign(genre));
    fields.year = year;
    fields.trackNumber = track;
    return fields;
}

// First in this program: nothing may have built the catalogue before.
TEST_F(TagWriterTest, NothingRecognisedTouchesNeitherFileNorCatalogue) {
    const std::string path = MakeFile("song.low");
    TagFields fields = Fields("  ", "", " ", "", 0, 0);
    WriteTags(path.c_str(), fields);
    EXPECT_EQ(GetModuleHandleA("Recording.dll"), nullptr);
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_EQ(CallsFor(path), Calls{});
    EXPECT_TRUE(fields.artist.Empty());
}

TEST_F(TagWriterTest, EveryValueIsWrittenCleanedAndInOrder) {
    const std::string path = MakeFile("Some Band - A Song.low");
    TagFields fields = Fields(" Some Band ", "Best Of", " A Song", "Rock\t", 98, 7);
    WriteTags(path.c_str(), fields);
    EXPECT_EQ(CallsFor(path), (Calls{"Artist|Some Band", "Album|Best Of", "Title|A Song",
                                     "Genre|Rock\t", "Year|1998", "Track|7"}));
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_STREQ(fields.artist.CStr(), "Some Band");
    EXPECT_EQ(fields.year, 1998);
}

TEST_F(TagWriterTest, YearsAreWidenedAndAbsentValuesSkipped) {
    const struct {
        int year;
        const char* written;
    } cases[] = {{4, "2004"}, {49, "2049"}, {50, "1950"}, {99, "1999"},
                 {100, "100"}, {1999, "1999"}, {-5, "1995"}};
    for (const auto& c : cases) {
        const std::string path = MakeFile("y" + std::to_string(c.year) + ".LOW");
        TagFields fields = Fields("", "", "Title", "", c.year, 0);
        WriteTags(path.c_str(), fields);
        EXPECT_EQ(CallsFor(path), (Calls{"Title|Title", std::string("Year|") + c.written}));
    }
}

TEST_F(TagWriterTest, NumbersAloneAreWritten) {
    const std::string path = MakeFile("only.low");
    TagFields fields = Fields("", " ", "", "", 0, 7);
    WriteTags(path.c_str(), fields);
    EXPECT_EQ(CallsFor(path), Calls{"Track|7"});
    EXPECT_FALSE(IsReadOnly(path));
}

TEST_F(TagWriterTest, WithoutAWritingDecoderTheFileStaysAsItWas) {
    for (const char* name : {"song.zzz", "song.nos", "no extension"}) {
        const std::string path = MakeFile(name);
        TagFields fields = Fields("Artist", "", "", "", 0, 3);
        WriteTags(path.c_str(), fields);
        EXPECT_TRUE(IsReadOnly(path)) << name;
        EXPECT_EQ(CallsFor(path), Calls{}) << name;
    }
}

TEST_F(TagWriterTest, FirstDecoderForAnExtensionDecidesEvenWithoutSetTag) {
    // Both shared decoders declare ".shr"; only SharedTagging writes.
    std::string first;
    WIN32_FIND_DATAA data;
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string input = exe;
    input.erase(input.find_last_of('\\') + 1);
    HANDLE search = FindFirstFileA((input + "Multiplayer\\Input\\Shared*.dll").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    first = data.cFileName;
    FindClose(search);

    const std::string path = MakeFile("song.shr");
    TagFields fields = Fields("Artist", "", "", "", 0, 0);
    WriteTags(path.c_str(), fields);
    const bool writes = first == "SharedTagging.dll";
    EXPECT_EQ(CallsFor(path), writes ? Calls{"Artist|Artist"} : Calls{});
    EXPECT_EQ(IsReadOnly(path), !writes);
}

}  // namespace
