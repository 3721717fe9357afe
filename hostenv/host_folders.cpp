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

// A name that did not fit names something else: nothing is answered then.
bool Refuse(PathText& out) {
    out.Clear();
    return false;
}

bool ReadRecordedInstallFolder(PathText& out) {
    // An empty answer also stands for a value too long to read whole.
    ReadRegistryString(out.Data(), PathText::kCapacity, kInstalledToValue,
                       HKEY_CURRENT_USER, kSettingsSubkey);
    return AppendBackslash(out) || Refuse(out);
}

bool InstallFolderOfExecutable(PathText& out) {
    PathText modulePath;
    const DWORD length = GetModuleFileNameA(nullptr, modulePath.Data(), PathText::kCapacity);
    // A path that does not fit comes back cut, and its folder part would
    // make an ancestor of the real folder the installation folder.
    if (length == 0 || length >= PathText::kCapacity) return Refuse(out);
    modulePath.Terminate();
    return InstallFolderFromModulePath(modulePath.CStr(), out) || Refuse(out);
}

bool AppendLoginName(PathText& out) {
    char name[kMaxPathText] = "";
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return out.Append("defuser");
    name[sizeof name - 1] = '\0';
    return out.Append(name);
}

bool InstallFolderWith(PathText& out, bool fromRegistry, const char* suffix) {
    return (GetInstallFolder(out, fromRegistry) && out.Append(suffix)) || Refuse(out);
}

}  // namespace

bool GetInstallFolder(PathText& out, bool fromRegistry) {
    if (!installFolderCache.Empty()) {
        out = installFolderCache;
        return true;
    }
    const bool whole =
        fromRegistry ? ReadRecordedInstallFolder(out) : InstallFolderOfExecutable(out);
    if (whole) installFolderCache = out;
    return whole;
}

bool GetUserFilePrefix(PathText& out, bool fromRegistry) {
    return (GetInstallFolder(out, fromRegistry) && AppendLoginName(out)) || Refuse(out);
}

namespace {

bool UserFileWith(PathText& out, bool fromRegistry, const char* suffix) {
    return (GetUserFilePrefix(out, fromRegistry) && out.Append(suffix)) || Refuse(out);
}

bool AlbumsFolderWith(PathText& out, bool fromRegistry, const char* suffix) {
    return (GetUserAlbumsFolder(out, fromRegistry) && out.Append(suffix)) || Refuse(out);
}

}  // namespace

bool GetUserKvxPath(PathText& out, bool fromRegistry) { return UserFileWith(out, fromRegistry, ".kvx"); }
bool GetUserKvzPath(PathText& out, bool fromRegistry) { return UserFileWith(out, fromRegistry, ".kvz"); }
bool GetUserWyxPath(PathText& out, bool fromRegistry) { return UserFileWith(out, fromRegistry, ".wyx"); }
bool GetUserWyzPath(PathText& out, bool fromRegistry) { return UserFileWith(out, fromRegistry, ".wyz"); }
bool GetPreviouslyPlayedPath(PathText& out, bool fromRegistry) {
    return UserFileWith(out, fromRegistry, ".Previously Played");
}
bool GetEnqueuedPath(PathText& out, bool fromRegistry) { return UserFileWith(out, fromRegistry, ".Enqued"); }
bool GetPriorityEnqueuedPath(PathText& out, bool fromRegistry) {
    return UserFileWith(out, fromRegistry, ".PriorityEnqued");
}
bool GetUserPlaylistPath(PathText& out, bool fromRegistry) {
    return UserFileWith(out, fromRegistry, ".Playlist.m3u");
}
bool GetAddToEditorPath(PathText& out, bool fromRegistry) {
    return UserFileWith(out, fromRegistry, ".AddToEditor");
}

bool GetPlayerFolder(PathText& out, bool fromRegistry) {
    return InstallFolderWith(out, fromRegistry, "Multiplayer\\");
}
bool GetInputPluginFolder(PathText& out, bool fromRegistry) {
    return (GetPlayerFolder(out, fromRegistry) && out.Append("Input\\")) || Refuse(out);
}
bool GetSoundOutputFolder(PathText& out, bool fromRegistry) {
    return InstallFolderWith(out, fromRegistry, "SoundOutputs\\");
}
bool GetSkinFolder(PathText& out, bool fromRegistry) { return InstallFolderWith(out, fromRegistry, "Skins\\"); }
bool GetVisualOutputFolder(PathText& out, bool fromRegistry) {
    return InstallFolderWith(out, fromRegistry, "Visual Outputs\\");
}
bool GetDspFolder(PathText& out, bool fromRegistry) { return InstallFolderWith(out, fromRegistry, "DSP\\"); }
bool GetUserAlbumsFolder(PathText& out, bool fromRegistry) {
    return (InstallFolderWith(out, fromRegistry, "Albums\\") && AppendLoginName(out) &&
            out.Append("\\")) ||
           Refuse(out);
}
bool GetAlbumsFilePath(PathText& out, bool fromRegistry) {
    return AlbumsFolderWith(out, fromRegistry, "Albums.bin");
}
bool GetAlbumAddToEditorPath(PathText& out, bool fromRegistry) {
    return AlbumsFolderWith(out, fromRegistry, "Album.AddToEditor");
}

bool GetCompressionFolder(PathText& out) { return InstallFolderWith(out, false, "Compression\\"); }
bool GetCompressionSkinFolder(PathText& out) { return InstallFolderWith(out, false, "Compression\\Skin\\"); }
bool GetAddThisFilePath(PathText& out) { return InstallFolderWith(out, false, "AddThis.Bin"); }
bool GetAddThisOutputToFilePath(PathText& out) {
    return InstallFolderWith(out, false, "AddThisOuputTo.Bin");
}
bool GetDelayedCddbFilePath(PathText& out) { return InstallFolderWith(out, false, "DelayedCDDB.Bin"); }
bool GetConverterLogPath(PathText& out) { return InstallFolderWith(out, false, "Quillmere.log"); }
bool GetCreatingCdFilePath(PathText& out) { return InstallFolderWith(out, false, "CreatingCD.bin"); }
bool GetDspEffectsFolder(PathText& out) { return InstallFolderWith(out, false, "DSPEffects\\"); }
bool GetUsingDspsFilePath(PathText& out) {
    return (GetDspEffectsFolder(out) && out.Append("UsingDSPs.bin")) || Refuse(out);
}

bool MakeSuiteRegistryKey(const char* keyName, PathText& out) {
    return (out.Assign(kSuiteKeyPrefix) && out.Append(keyName)) || Refuse(out);
}
bool GetSkinRegistryKey(PathText& out) { return MakeSuiteRegistryKey("skin", out); }
bool GetCharReplaceRegistryKey(PathText& out) { return MakeSuiteRegistryKey("Tessivar\\CharReplace", out); }
