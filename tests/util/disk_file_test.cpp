#include "util/disk_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_folder.h"

namespace {

struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

std::vector<ShownBox> shownBoxes;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    shownBoxes.push_back({owner, text, caption, style});
    return IDOK;
}

// Every test here records message boxes instead of showing them.
class DiskFileTest : public testing::Test {
protected:
    void SetUp() override {
        shownBoxes.clear();
        previous_ = ReplaceDiskFileMessageBox(RecordBox);
    }
    void TearDown() override { ReplaceDiskFileMessageBox(previous_); }

    std::string Numbered(std::size_t size) const {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i);
        return bytes;
    }

    ScratchFolder folder_;
    MessageBoxFunction previous_ = nullptr;
};

TEST_F(DiskFileTest, FailedOpenShowsOneBoxAndStaysClosed) {
    const std::string path = folder_.Path("missing.bin");
    DiskFile file(path.c_str(), GENERIC_READ, OPEN_EXISTING, true, true);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetHandle(), nullptr);
    EXPECT_STREQ(file.Name(), path.c_str());
    char buffer[8];
    bool failed = false;
    EXPECT_EQ(file.Read(buffer, 8, IoPosition::Start, &failed), 0u);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(file.Write("x", 1, IoPosition::End));
    bool sizeFailed = false;
    EXPECT_EQ(file.QueryFileSize(&sizeFailed), 0u);
    EXPECT_FALSE(sizeFailed) << "a closed file leaves the flag alone";
    EXPECT_EQ(file.FileChecksum(), 0u);
    strcpy(buffer, "junk");
    EXPECT_FALSE(file.ReadTextLine(buffer, 4));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(file.QueryFileTimes(nullptr, nullptr, nullptr));
    file.Seek(0, FILE_BEGIN);
    file.MoveFileTail(0, 1);
    file.SetFileLength(0);
    file.Close();

    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "Unable to open '" + path + "'");
    EXPECT_EQ(shownBoxes[0].caption, "Disk Read Error");
    EXPECT_EQ(shownBoxes[0].style, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(shownBoxes[0].owner, nullptr);
}

TEST_F(DiskFileTest, OpenForWritingFailsUnderTheWriteCaption) {
    const std::string path = folder_.Path("no\\such\\folder.bin");
    DiskFile file(path.c_str(), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, true, false);
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "Unable to open '" + path + "'");
    EXPECT_EQ(shownBoxes[0].caption, "Disk Write Error");

    DiskFile quiet(path.c_str(), GENERIC_READ, OPEN_EXISTING, false, true);
    EXPECT_FALSE(quiet.IsOpen());
    EXPECT_EQ(shownBoxes.size(), 1u) << "showErrors clear shows nothing";
}

TEST_F(DiskFileTest, ReadsToTheEndWithoutFailing) {
    const std::string path = folder_.Write("hundred.bin", Numbered(100));
    DiskFile file(path.c_str(), GENERIC_READ, OPEN_EXISTING, true, true);
    ASSERT_TRUE(file.IsOpen());
    char buffer[200];
    bool failed = true;
    SetLastError(ERROR_ACCESS_DENIED);  // left over from an unrelated call
    EXPECT_EQ(file.Read(buffer, 200, IoPosition::Start, &failed), 100u);
    EXPECT_FALSE(failed);
    EXPECT_EQ(std::string(buffer, 100), Numbered(100));
    failed = true;
    EXPECT_EQ(file.Read(buffer, 10, IoPosition::End, &failed), 0u);
    EXPECT_FALSE(failed);
    file.Seek(10, FILE_BEGIN);
    file.Seek(5, FILE_CURRENT);
    EXPECT_EQ(file.Read(buffer, 1, IoPosition::Current), 1u);
    EXPECT_EQ(buffer[0], 15);
    file.Seek(-1, FILE_END);
    EXPECT_EQ(file.Read(buffer, 1, IoPosition(7)), 1u) << "any other value reads on";
    EXPECT_EQ(buffer[0], 99);
    EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(DiskFileTest, ReadAndWriteFailuresShowTheirBoxes) {
    const std::string path = folder_.Write("data.bin", "abc");
    {
        DiskFile writeOnly(path.c_str(), GENERIC_WRITE, OPEN_EXISTING, true, true);
        char buffer[4];
        bool failed = false;
        EXPECT_EQ(writeOnly.Read(buffer, 3, IoPosition::Start, &failed), 0u);
        EXPECT_TRUE(failed);
    }
    {
        DiskFile readOnly(path.c_str(), GENERIC_READ, OPEN_EXISTING, true, true);
        EXPECT_FALSE(readOnly.Write("xyz", 3, IoPosition::Start));
    }
    ASSERT_EQ(shownBoxes.size(), 2u);
    EXPECT_EQ(shownBoxes[0].text, "Unable to read from '" + path + "'");
    EXPECT_EQ(shownBoxes[0].caption, "Disk Read Error");
    EXPECT_EQ(shownBoxes[1].text, "Unable to write to '" + path + "'");
    EXPECT_EQ(shownBoxes[1].caption, "Disk Write Error");
    EXPECT_EQ(folder_.Read("data.bin"), "abc");
}

TEST_F(DiskFileTest, WritesAppendAtTheEndAndOverwriteAtTheStart) {
    const std::string path = folder_.Path("new.bin");
    {
        DiskFile file(path.c_str(), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, true, false);
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("hello", 5, IoPosition::End));
        EXPECT_TRUE(file.Write(" world", 6, IoPosition::End));
        EXPECT_TRUE(file.Write("J", 1, IoPosition::Start));
        EXPECT_TRUE(file.Write("!", 1, IoPosition::Current));
        EXPECT_EQ(file.QueryFileSize(), 11u);
    }
    EXPECT_EQ(folder_.Read("new.bin"), "J!llo world");
    EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(DiskFileTest, LongNamesAreKeptBounded) {
    const std::string path = folder_.Path(std::string(300, 'n').c_str());
    DiskFile file(path.c_str(), GENERIC_READ, OPEN_EXISTING, true, true);
    EXPECT_EQ(std::string(file.Name()), path.substr(0, 259));
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "Unable to open '" + path + "'");
}

}  // namespace
