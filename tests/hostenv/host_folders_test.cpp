// The installation folder from this test program's own path, and every
// composition built on it.
#include "hostenv/host_folders.h"

#include <windows.h>

#include <cctype>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/path_getter.h"
#include "tests/support/program_folder.h"

namespace {

std::string LoginName() {
    char name[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    return GetUserNameA(name, &size) ? name : "defuser";
}

TEST(HostFolders, InstallFolderComesFromTheExecutableAndIsKept) {
    const std::string install = OwnFolderUpperCased();
    EXPECT_EQ(Text(GetInstallFolder, false), install);
    EXPECT_EQ(Text(GetInputPluginFolder, false), install + "Multiplayer\\Input\\");
    // Once known, the flag no longer matters.
    EXPECT_EQ(Text(GetInstallFolder, true), install);
}

TEST(HostFolders, EveryPlaceIsItsBaseAndItsSuffix) {
    const std::string install = OwnFolderUpperCased();
    const std::string user = install + LoginName();
    const std::string albums = install + "Albums\\" + LoginName() + "\\";
    using Getter = bool (*)(PathText&, bool);
    const struct {
        Getter getter;
        std::string expected;
    } places[] = {
        {GetUserFilePrefix, user},
        {GetUserKvxPath, user + ".kvx"},
        {GetUserKvzPath, user + ".kvz"},
        {GetUserWyxPath, user + ".wyx"},
        {GetUserWyzPath, user + ".wyz"},
        {GetPreviouslyPlayedPath, user + ".Previously Played"},
        {GetEnqueuedPath, user + ".Enqued"},
        {GetPriorityEnqueuedPath, user + ".PriorityEnqued"},
        {GetUserPlaylistPath, user + ".Playlist.m3u"},
        {GetAddToEditorPath, user + ".AddToEditor"},
        {GetPlayerFolder, install + "Multiplayer\\"},
        {GetSoundOutputFolder, install + "SoundOutputs\\"},
        {GetSkinFolder, install + "Skins\\"},
        {GetVisualOutputFolder, install + "Visual Outputs\\"},
        {GetDspFolder, install + "DSP\\"},
        {GetUserAlbumsFolder, albums},
        {GetAlbumsFilePath, albums + "Albums.bin"},
        {GetAlbumAddToEditorPath, albums + "Album.AddToEditor"},
    };
    for (const auto& place : places) {
        EXPECT_EQ(Text(place.getter, false), place.expected);
    }

    using PlainGetter = bool (*)(PathText&);
    const struct {
        PlainGetter getter;
        std::string expected;
    } plainPlaces[] = {
        {GetCompressionFolder, install + "Compression\\"},
        {GetCompressionSkinFolder, install + "Compression\\Skin\\"},
        {GetAddThisFilePath, install + "AddThis.Bin"},
        {GetAddThisOutputToFilePath, install + "AddThisOuputTo.Bin"},
        {GetDelayedCddbFilePath, install + "DelayedCDDB.Bin"},
        {GetConverterLogPath, install + "Quillmere.log"},
        {GetCreatingCdFilePath, install + "CreatingCD.bin"},
        {GetDspEffectsFolder, install + "DSPEffects\\"},
        {GetUsingDspsFilePath, install + "DSPEffects\\UsingDSPs.bin"},
        {GetSkinRegistryKey, "Software\\brackenford\\sonavell\\skin"},
        {GetCharReplaceRegistryKey, "Software\\brackenford\\sonavell\\Tessivar\\CharReplace"},
    };
    for (const auto& place : plainPlaces) {
        PathText out;
        EXPECT_TRUE(place.getter(out));
        EXPECT_EQ(out.CStr(), place.expected);
    }
    PathText key;
    EXPECT_TRUE(MakeSuiteRegistryKey("Options", key));
    EXPECT_STREQ(key.CStr(), "Software\\brackenford\\sonavell\\Options");
}

}  // namespace
