#include "hostenv/install_folder_rules.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::string Folder(const char* modulePath) {
    PathText out;
    if (!InstallFolderFromModulePath(modulePath, out)) return "<refused>";
    return out.CStr();
}

TEST(InstallFolderRules, ExecutableFolderIsUpperCasedWithItsBackslash) {
    EXPECT_EQ(Folder("C:\\Apps\\Host\\host.exe"), "C:\\APPS\\HOST\\");
    EXPECT_EQ(Folder("host.exe"), "HOST.EXE");
    // Only a to z change, as in the C run-time's default locale.
    EXPECT_EQ(Folder("C:\\m\xfcsik\\h.exe"), "C:\\M\xfcSIK\\");
}

// A cut path would make an ancestor of the real folder the answer.
TEST(InstallFolderRules, APathThatDoesNotFitIsRefused) {
    const std::string deep = "C:\\" + std::string(240, 'D') + "\\";
    EXPECT_EQ(Folder((deep + std::string(259 - deep.size(), 'H')).c_str()), deep);
    EXPECT_EQ(Folder((deep + std::string(260 - deep.size(), 'H')).c_str()), "<refused>");
    EXPECT_EQ(Folder((deep + "SUB\\" + std::string(40, 'H')).c_str()), "<refused>");
}

TEST(InstallFolderRules, MarkerOrEmptyPathGivesTheDefaultAsWritten) {
    for (const char* path : {"", "C:\\Source Code\\Host\\host.exe",
                             "C:\\work\\source code\\host.exe", "D:\\mySOURCE cODEx\\h.exe"}) {
        EXPECT_EQ(Folder(path), "c:\\Program files\\Brackenford\\Sonavell\\") << path;
    }
    EXPECT_EQ(Folder("C:\\SourceCode\\h.exe"), "C:\\SOURCECODE\\");
}

TEST(InstallFolderRules, OneLeadingQuoteGoes) {
    EXPECT_EQ(Folder("\"C:\\Apps\\host.exe\""), "C:\\APPS\\");
    EXPECT_EQ(Folder("\"\"C:\\Apps\\host.exe"), "\"C:\\APPS\\");
}

}  // namespace
