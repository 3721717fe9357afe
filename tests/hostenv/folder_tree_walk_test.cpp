#include "hostenv/folder_tree_walk.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Folders(const char* path) {
    const FolderTreeWalk walk = PlanFolderTree(path);
    std::vector<std::string> folders;
    PathText folder;
    for (std::size_t i = 0; i < walk.count; ++i) {
        walk.GetFolder(i, folder);
        folders.push_back(folder.CStr());
    }
    return folders;
}

using Texts = std::vector<std::string>;

TEST(FolderTreeWalk, LocalPathsCreateEveryFolderBelowTheDrive) {
    EXPECT_EQ(Folders("C:\\a\\b\\c\\"), (Texts{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(Folders("C:\\a\\b\\c"), (Texts{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(Folders("C:\\a"), (Texts{"C:\\a"}));
}

TEST(FolderTreeWalk, RootsAloneCreateNothing) {
    for (const char* path : {"", "\\", "C:", "C:\\", "C:\\\\", "\\\\server",
                             "\\\\server\\", "\\\\server\\share", "\\\\server\\share\\",
                             "single"}) {
        EXPECT_EQ(Folders(path), Texts{}) << path;
    }
}

TEST(FolderTreeWalk, NetworkPathsKeepServerAndShare) {
    EXPECT_EQ(Folders("\\\\server\\share\\x\\y"),
              (Texts{"\\\\server\\share\\x", "\\\\server\\share\\x\\y"}));
}

TEST(FolderTreeWalk, RelativePathsNeverCreateTheirFirstName) {
    EXPECT_EQ(Folders("a\\b\\c"), (Texts{"a\\b", "a\\b\\c"}));
    EXPECT_EQ(Folders("a\\b\\"), (Texts{"a\\b"}));
}

TEST(FolderTreeWalk, PathsThatDoNotFitCreateNothing) {
    std::string path = "C:\\" + std::string(300, 'x') + "\\y";
    EXPECT_EQ(Folders(path.c_str()), Texts{});
    // 259 characters plus a trailing backslash still fit once it is dropped.
    path = "C:\\" + std::string(256, 'x') + "\\";
    EXPECT_EQ(Folders(path.c_str()), Texts{path.substr(0, 259)});
}

}  // namespace
