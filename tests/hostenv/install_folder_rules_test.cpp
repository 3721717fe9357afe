#include "hostenv/install_folder_rules.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::string Folder(const char* modulePath) {
    PathText out;
    InstallFolderFromModulePath(modulePath, out);
    return out.CStr();
}

TEST(InstallFolderRules, ExecutableFolderIsUpperCasedWithItsBackslash) {
    EXPECT_EQ(Folder("C:\\Apps\\Host\\host.exe"), "C:\\APPS\\HOST\\");
    EXPECT_EQ(Folder("host.exe"), "HOST.EXE");
    // Only a to z change, as in the C run-time's default locale.
    EXPECT_EQ(Folder("C:\\m\xfcsik\\h.exe"), "C:\\M\xfcSIK\\");
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

TEST(InstallFolderRules, OverlongPathStaysWithinTheText) {
    const std::string path = "C:\\" + std::string(300, 'a') + "\\h.exe";
    // Cut to 259 characters first, like the platform's answer, so the
    // executable's name and the last backslash are gone.
    EXPECT_EQ(Folder(path.c_str()), "C:\\");
}

}  // namespace
