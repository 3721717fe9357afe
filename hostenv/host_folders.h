// The host's installation folder, resolved once per process, and the
// well-known places below it, composed by plain concatenation. Folders end
// in a backslash. A result longer than 259 characters keeps its first 259.
//
// fromRegistry chooses how the folder is found while it is not yet known:
// from the "InstalledTo" value the host records in the registry, or from
// the host executable's own path. Once a non-empty folder has been found it
// is the answer for the rest of the process, whatever the flag.
#pragma once

#include "util/fixed_text.h"

void GetInstallFolder(PathText& out, bool fromRegistry);
// The installation folder followed directly by the login name (or
// "defuser"): the stem of the per-user files.
void GetUserFilePrefix(PathText& out, bool fromRegistry);

void GetUserKvxPath(PathText& out, bool fromRegistry);
void GetUserKvzPath(PathText& out, bool fromRegistry);
void GetUserWyxPath(PathText& out, bool fromRegistry);
void GetUserWyzPath(PathText& out, bool fromRegistry);
void GetPreviouslyPlayedPath(PathText& out, bool fromRegistry);
void GetEnqueuedPath(PathText& out, bool fromRegistry);
void GetPriorityEnqueuedPath(PathText& out, bool fromRegistry);
void GetUserPlaylistPath(PathText& out, bool fromRegistry);
void GetAddToEditorPath(PathText& out, bool fromRegistry);

void GetPlayerFolder(PathText& out, bool fromRegistry);
// Where the host keeps its decoder plugins.
void GetInputPluginFolder(PathText& out, bool fromRegistry);
void GetSoundOutputFolder(PathText& out, bool fromRegistry);
void GetSkinFolder(PathText& out, bool fromRegistry);
void GetVisualOutputFolder(PathText& out, bool fromRegistry);
void GetDspFolder(PathText& out, bool fromRegistry);
void GetUserAlbumsFolder(PathText& out, bool fromRegistry);
void GetAlbumsFilePath(PathText& out, bool fromRegistry);
void GetAlbumAddToEditorPath(PathText& out, bool fromRegistry);

// These always resolve the installation folder from the executable.
void GetCompressionFolder(PathText& out);
void GetCompressionSkinFolder(PathText& out);
void GetAddThisFilePath(PathText& out);
void GetAddThisOutputToFilePath(PathText& out);
void GetDelayedCddbFilePath(PathText& out);
void GetConverterLogPath(PathText& out);
void GetCreatingCdFilePath(PathText& out);
void GetDspEffectsFolder(PathText& out);
void GetUsingDspsFilePath(PathText& out);

// Subkey paths of the host's settings; the root key is the caller's. They
// touch no registry.
void MakeSuiteRegistryKey(const char* keyName, PathText& out);
void GetSkinRegistryKey(PathText& out);
void GetCharReplaceRegistryKey(PathText& out);
