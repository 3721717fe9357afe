#include "hostenv/host_folders.h"

#include <windows.h>

#include "hostenv/install_folder_rules.h"
#include "hostenv/path_strings.h"
#include "hostenv/registry_values.h"

namespace {

constexpr char kSettingsSubkey[] = "Software\\Brackenford\\Sonavell";
constexpr char kInstalledToValue[] = "InstalledTo";
constexpr char kSuiteKeyPrefix[] = "Software\\brackenford\\sonavell\\";

// Empty until a non-empty folder was found; never cleared.
PathText installFolderCache;

void ReadRecordedInstallFolder(PathText& out) {
    ReadRegistryString(out.Data(), PathText::kCapacity, kInstalledToValue,
                       HKEY_CURRENT_USER, kSettingsSubkey);
    AppendBackslash(out);
}

void InstallFolderOfExecutable(PathText& out) {
    PathText modulePath;
    GetModuleFileNameA(nullptr, modulePath.Data(), PathText::kCapacity);
    // A path that does not fit comes back cut and perhaps unterminated.
    modulePath.Terminate();
    InstallFolderFromModulePath(modulePath.CStr(), out);
}

void AppendLoginName(PathText& out) {
    char name[kMaxPathText] = "";
    DWORD size = sizeof name;
    if (GetUserNameA(name, &size)) {
        name[sizeof name - 1] = '\0';
        out.Append(name);
    } else {
        out.Append("defuser");
    }
}

void InstallFolderWith(PathText& out, bool fromRegistry, const char* suffix) {
    GetInstallFolder(out, fromRegistry);
    out.Append(suffix);
}

}  // namespace

void GetInstallFolder(PathText& out, bool fromRegistry) {
    if (!installFolderCache.Empty()) {
        out = installFolderCache;
        return;
    }
    if (fromRegistry) {
        ReadRecordedInstallFolder(out);
    } else {
        InstallFolderOfExecutable(out);
    }
    installFolderCache = out;
}

void GetUserFilePrefix(PathText& out, bool fromRegistry) {
    GetInstallFolder(out, fromRegistry);
    AppendLoginName(out);
}

namespace {

void UserFileWith(PathText& out, bool fromRegistry, const char* suffix) {
    GetUserFilePrefix(out, fromRegistry);
    out.Append(suffix);
}

void AlbumsFolderWith(PathText& out, bool fromRegistry, const char* suffix) {
    GetUserAlbumsFolder(out, fromRegistry);
    out.Append(suffix);
}

}  // namespace

void GetUserKvxPath(PathText& out, bool fromRegistry) { UserFileWith(out, fromRegistry, ".kvx"); }
void GetUserKvzPath(PathText& out, bool fromRegistry) { UserFileWith(out, fromRegistry, ".kvz"); }
void GetUserWyxPath(PathText& out, bool fromRegistry) { UserFileWith(out, fromRegistry, ".wyx"); }
void GetUserWyzPath(PathText& out, bool fromRegistry) { UserFileWith(out, fromRegistry, ".wyz"); }
void GetPreviouslyPlayedPath(PathText& out, bool fromRegistry) {
    UserFileWith(out, fromRegistry, ".Previously Played");
}
void GetEnqueuedPath(PathText& out, bool fromRegistry) { UserFileWith(out, fromRegistry, ".Enqued"); }
void GetPriorityEnqueuedPath(PathText& out, bool fromRegistry) {
    UserFileWith(out, fromRegistry, ".PriorityEnqued");
}
void GetUserPlaylistPath(PathText& out, bool fromRegistry) {
    UserFileWith(out, fromRegistry, ".Playlist.m3u");
}
void GetAddToEditorPath(PathText& out, bool fromRegistry) {
    UserFileWith(out, fromRegistry, ".AddToEditor");
}

void GetPlayerFolder(PathText& out, bool fromRegistry) {
    InstallFolderWith(out, fromRegistry, "Multiplayer\\");
}
void GetInputPluginFolder(PathText& out, bool fromRegistry) {
    GetPlayerFolder(out, fromRegistry);
    out.Append("Input\\");
}
void GetSoundOutputFolder(PathText& out, bool fromRegistry) {
    InstallFolderWith(out, fromRegistry, "SoundOutputs\\");
}
void GetSkinFolder(PathText& out, bool fromRegistry) { InstallFolderWith(out, fromRegistry, "Skins\\"); }
void GetVisualOutputFolder(PathText& out, bool fromRegistry) {
    InstallFolderWith(out, fromRegistry, "Visual Outputs\\");
}
void GetDspFolder(PathText& out, bool fromRegistry) { InstallFolderWith(out, fromRegistry, "DSP\\"); }
void GetUserAlbumsFolder(PathText& out, bool fromRegistry) {
    InstallFolderWith(out, fromRegistry, "Albums\\");
    AppendLoginName(out);
    out.Append("\\");
}
void GetAlbumsFilePath(PathText& out, bool fromRegistry) {
    AlbumsFolderWith(out, fromRegistry, "Albums.bin");
}
void GetAlbumAddToEditorPath(PathText& out, bool fromRegistry) {
    AlbumsFolderWith(out, fromRegistry, "Album.AddToEditor");
}

void GetCompressionFolder(PathText& out) { InstallFolderWith(out, false, "Compression\\"); }
void GetCompressionSkinFolder(PathText& out) { InstallFolderWith(out, false, "Compression\\Skin\\"); }
void GetAddThisFilePath(PathText& out) { InstallFolderWith(out, false, "AddThis.Bin"); }
void GetAddThisOutputToFilePath(PathText& out) {
    InstallFolderWith(out, false, "AddThisOuputTo.Bin");
}
void GetDelayedCddbFilePath(PathText& out) { InstallFolderWith(out, false, "DelayedCDDB.Bin"); }
void GetConverterLogPath(PathText& out) { InstallFolderWith(out, false, "Quillmere.log"); }
void GetCreatingCdFilePath(PathText& out) { InstallFolderWith(out, false, "CreatingCD.bin"); }
void GetDspEffectsFolder(PathText& out) { InstallFolderWith(out, false, "DSPEffects\\"); }
void GetUsingDspsFilePath(PathText& out) {
    GetDspEffectsFolder(out);
    out.Append("UsingDSPs.bin");
}

void MakeSuiteRegistryKey(const char* keyName, PathText& out) {
    out.Assign(kSuiteKeyPrefix);
    out.Append(keyName);
}
void GetSkinRegistryKey(PathText& out) { MakeSuiteRegistryKey("skin", out); }
void GetCharReplaceRegistryKey(PathText& out) { MakeSuiteRegistryKey("Tessivar\\CharReplace", out); }
