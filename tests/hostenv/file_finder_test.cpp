// FileFinder and the folder operations on real folders under a fresh
// temporary folder.
#include "hostenv/file_finder.h"

#include <cstdio>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "pt_ff_" + std::to_string(GetCurrentProcessId()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(root_.c_str(), nullptr);
        ASSERT_TRUE(FolderExists(root_.c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryA("C:\\");
        DeleteFolderContents(root_.c_str());
        RemoveDirectoryA(root_.c_str());
    }

    std::string At(const std::string& relative) const { return root_ + "\\" + relative; }
    void MakeFolder(const std::string& relative) const {
        ASSERT_TRUE(CreateDirectoryA(At(relative).c_str(), nullptr)) << relative;
    }
    void MakeFile(const std::string& relative, const std::string& content = "x") const {
        FILE* file = std::fopen(At(relative).c_str(), "wb");
        ASSERT_NE(file, nullptr) << relative;
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    std::string Read(const std::string& relative) const {
        FILE* file = std::fopen(At(relative).c_str(), "rb");
        if (!file) return "<missing>";
        std::string content;
        char buffer[256];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
        std::fclose(file);
        return content;
    }
    bool IsFile(const std::string& relative) const {
        const DWORD attributes = GetFileAttributesA(At(relative).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::set<std::string> Names(const char* pattern, const std::string& folder) const {
        FileFinder finder(pattern, folder.c_str());
        std::set<std::string> names;
        while (finder.Next()) names.insert(finder.GetName());
        return names;
    }

    std::string root_;
};

using NameSet = std::set<std::string>;

TEST(FileFinder, FolderWithOrWithoutBackslashGivesTheSameSearch) {
    FileFinder bare("*.dll", "C:\\Host\\Multiplayer\\Input");
    FileFinder slashed("*.dll", "C:\\Host\\Multiplayer\\Input\\");
    EXPECT_STREQ(bare.GetSearchSpec(), "C:\\Host\\Multiplayer\\Input\\*.dll");
    EXPECT_STREQ(slashed.GetSearchSpec(), "C:\\Host\\Multiplayer\\Input\\*.dll");
}

TEST_F(FolderTest, FinderYieldsMatchingFilesAndFoldersWithFullPaths) {
    MakeFile("a.dll");
    MakeFile("b.DLL");
    MakeFile("c.txt");
    MakeFolder("sub.dll");
    FileFinder finder("*.dll", root_.c_str());
    NameSet seen;
    while (finder.Next()) {
        seen.insert(finder.GetName());
        EXPECT_EQ(finder.GetPath(), At(finder.GetName()));
        EXPECT_EQ(finder.IsDirectory(), std::string(finder.GetName()) == "sub.dll");
    }
    EXPECT_EQ(seen, (NameSet{"a.dll", "b.DLL", "sub.dll"}));
    EXPECT_STREQ(finder.GetName(), "");
    EXPECT_FALSE(finder.IsDirectory());
    EXPECT_FALSE(finder.Next());

    finder.Close();
    NameSet again;
    while (finder.Next()) again.insert(finder.GetName());
    EXPECT_EQ(again, seen);
}

TEST_F(FolderTest, EmptyFolderYieldsNothingAndMissingFolderIsRetried) {
    EXPECT_EQ(Names("*.*", root_), NameSet{});
    FileFinder finder("*.*", At("later").c_str());
    EXPECT_FALSE(finder.Next());
    EXPECT_FALSE(finder.Next());
    MakeFolder("later");
    MakeFile("later\\now.txt");
    ASSERT_TRUE(finder.Next());
    EXPECT_STREQ(finder.GetName(), "now.txt");
}

TEST_F(FolderTest, EmptyFolderTextSearchesTheCurrentDirectory) {
    MakeFile("here.dll");
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    FileFinder finder("*.dll", "");
    ASSERT_TRUE(finder.Next());
    EXPECT_STREQ(finder.GetPath(), "here.dll");
}

TEST_F(FolderTest, EntriesWhoseFullPathWouldNotFitAreSkipped) {
    std::string deep;
    while (At(deep).size() < 230) {
        deep += std::string(20, 'd') + "\\";
        MakeFolder(deep);
    }
    const std::string folder = At(deep);
    const std::string fits(259 - folder.size(), 'f');
    MakeFile(deep + fits);
    MakeFile(deep + fits + "g");
    EXPECT_EQ(Names("*", folder), NameSet{fits});
    // A search that would not fit is not cut to a different one.
    EXPECT_EQ(Names((fits + "*").c_str(), folder), NameSet{});
    // The walks skip it too, so it goes by its short, relative name.
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    EXPECT_TRUE(DeleteFileA((fits + "g").c_str()));
}

TEST_F(FolderTest, PathExistsFindsEntriesWhoseFullPathWouldNotFit) {
    // A 250-character folder: its entries' full paths pass 259 characters,
    // but asking whether they exist names none of them.
    std::string deep;
    while (At(deep).size() + 21 < 250) {
        deep += std::string(20, 'd') + "\\";
        MakeFolder(deep);
    }
    deep += std::string(250 - At(deep).size(), 'e');
    MakeFolder(deep);
    const std::string folder = At(deep);
    ASSERT_EQ(folder.size(), 250u);
    const std::string file = std::string(30, 'f') + ".txt";
    const std::string subfolder = std::string(30, 's') + ".dir";
    MakeFile(deep + "\\" + file);
    // The ANSI folder calls stop at 260 characters; the wide ones do not.
    const std::string subfolderPath = folder + "\\" + subfolder;
    ASSERT_TRUE(CreateDirectoryW(
        std::wstring(subfolderPath.begin(), subfolderPath.end()).c_str(), nullptr));

    bool isFolder = true;
    EXPECT_TRUE(PathExists((folder + "\\*.txt").c_str(), &isFolder));
    EXPECT_FALSE(isFolder);
    EXPECT_TRUE(PathExists((folder + "\\*.dir").c_str(), &isFolder));
    EXPECT_TRUE(isFolder);
    EXPECT_FALSE(PathExists((folder + "\\*.doc").c_str(), &isFolder));
    EXPECT_FALSE(isFolder);
    FileFinder finder("*.txt", folder.c_str());
    ASSERT_TRUE(finder.NextEntry());
    EXPECT_EQ(finder.GetName(), file);
    EXPECT_STREQ(finder.GetPath(), "") << "no cut path to act on";
    finder.Close();
    // The walks cannot name them, so they go by their relative names.
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(subfolder.c_str()));
}

TEST_F(FolderTest, ExistenceTests) {
    MakeFolder("dir");
    MakeFile("dir\\a.txt");
    MakeFolder("dir\\sub");
    EXPECT_TRUE(FolderExists(At("dir").c_str()));
    EXPECT_FALSE(FolderExists(At("dir\\a.txt").c_str()));
    EXPECT_FALSE(FolderExists(At("none").c_str()));

    bool isFolder = true;
    EXPECT_TRUE(PathExists(At("dir\\*.txt").c_str(), &isFolder));
    EXPECT_FALSE(isFolder);
    EXPECT_TRUE(PathExists(At("dir\\sub").c_str(), &isFolder));
    EXPECT_TRUE(isFolder);
    EXPECT_FALSE(PathExists(At("dir\\*.doc").c_str(), &isFolder));
    EXPECT_FALSE(isFolder);
    EXPECT_FALSE(PathExists(At("dir\\").c_str()));
    EXPECT_TRUE(PathExists(At("dir\\a.txt").c_str()));
}

TEST_F(FolderTest, CreateFolderTreeMakesEveryMissingFolder) {
    CreateFolderTree(At("a\\b\\c\\").c_str());
    EXPECT_TRUE(FolderExists(At("a\\b\\c").c_str()));
    CreateFolderTree(At("a\\b\\d").c_str());
    EXPECT_TRUE(FolderExists(At("a\\b\\d").c_str()));
}

TEST_F(FolderTest, CreateFolderTreeNeverMakesTheFirstNameOfARelativePath) {
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    CreateFolderTree("r\\s\\t");
    EXPECT_FALSE(FolderExists(At("r").c_str()));
    MakeFolder("r");
    CreateFolderTree("r\\s\\t");
    EXPECT_TRUE(FolderExists(At("r\\s\\t").c_str()));
}

TEST_F(FolderTest, DeleteFolderContentsEmptiesTheTreeAndKeepsTheFolder) {
    MakeFolder("top");
    MakeFile("top\\a.txt");
    MakeFolder("top\\sub");
    MakeFolder("top\\sub\\deeper");
    MakeFile("top\\sub\\deeper\\b.bin");
    DeleteFolderContents(At("top").c_str());
    EXPECT_TRUE(FolderExists(At("top").c_str()));
    EXPECT_EQ(Names("*", At("top")), NameSet{});
}

TEST_F(FolderTest, DeleteFolderContentsLeavesShortTextsAlone) {
    MakeFolder("abc");
    MakeFile("abc\\keep.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    DeleteFolderContents("abc");
    EXPECT_TRUE(IsFile("abc\\keep.txt"));
}

TEST_F(FolderTest, DeleteMatchingFilesRemovesOnlyMatchingFiles) {
    MakeFile("one.tmp");
    MakeFile("two.tmp");
    MakeFile("keep.txt");
    MakeFolder("folder.tmp");
    DeleteMatchingFiles(At("*.tmp").c_str());
    EXPECT_EQ(Names("*", root_), (NameSet{"keep.txt", "folder.tmp"}));
}

TEST_F(FolderTest, CopyFolderTreeCreatesTheDestinationAndOverwrites) {
    MakeFolder("src");
    MakeFile("src\\a.txt", "new a");
    MakeFolder("src\\sub");
    MakeFile("src\\sub\\b.txt", "b");
    CopyFolderTree(At("src").c_str(), At("x\\y\\dst").c_str());
    EXPECT_EQ(Read("x\\y\\dst\\a.txt"), "new a");
    EXPECT_EQ(Read("x\\y\\dst\\sub\\b.txt"), "b");

    MakeFile("src\\a.txt", "newer a");
    MakeFile("x\\y\\dst\\only.txt", "kept");
    CopyFolderTree(At("src\\").c_str(), At("x\\y\\dst\\").c_str());
    EXPECT_EQ(Read("x\\y\\dst\\a.txt"), "newer a");
    EXPECT_EQ(Read("x\\y\\dst\\only.txt"), "kept");
}

}  // namespace
