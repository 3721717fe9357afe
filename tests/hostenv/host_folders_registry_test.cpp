// The installation folder recorded by the host in the registry. Its own
// program, so that the process-wide folder is still unknown at the start;
// the only test program that touches "InstalledTo".
#include "hostenv/host_folders.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/path_getter.h"

#include "hostenv/registry_values.h"

namespace {

constexpr char kSubkey[] = "Software\\Brackenford\\Sonavell";

TEST(HostFoldersFromRegistry, MissingValueIsRetriedThenRecordedFolderIsKept) {
    DeleteRegistryValue("InstalledTo", HKEY_CURRENT_USER, kSubkey);
    EXPECT_EQ(Text(GetInstallFolder, true), "");
    EXPECT_EQ(Text(GetInputPluginFolder, true), "Multiplayer\\Input\\");

    // Long enough that the compositions no longer fit.
    const std::string recorded = "D:\\" + std::string(240, 'h');
    WriteRegistryString(recorded.c_str(), "InstalledTo", HKEY_CURRENT_USER, kSubkey);
    const std::string install = recorded + "\\";
    EXPECT_EQ(Text(GetInstallFolder, true), install);
    EXPECT_EQ(Text(GetInstallFolder, false), install);
    // A cut name would name another file or folder: none is given.
    EXPECT_EQ(Text(GetUserPlaylistPath, false), "<refused>");
    EXPECT_EQ(Text(GetInputPluginFolder, true), "<refused>");
    EXPECT_EQ(Text(GetPlayerFolder, true), install + "Multiplayer\\");
    DeleteRegistryValue("InstalledTo", HKEY_CURRENT_USER, kSubkey);
}

}  // namespace
