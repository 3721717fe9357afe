// The host's installation folder, resolved once per process, and the
// well-known places below it, composed by plain concatenation. Folders end
// in a backslash. Every result names something to act on, so none is ever
// cut: each answers false, with an empty text, when the place cannot be
// named whole in 259 characters.
//
// fromRegistry chooses how the folder is found while it is not yet known:
// from the "InstalledTo" value the host records in the registry, or from
// the host executable's own path. Once a non-empty folder has been found it
// is the answer for the rest of the process, whatever the flag.
#pragma once

#include "util/fixed_text.h"

[[nodiscard]] bool GetInstallFolder(PathText& out, bool fromRegistry);
// The installation folder followed directly by the login name (or
// "defuser"): the stem of the per-user files.
[[nodiscard]] bool GetUserFilePrefix(PathText& out, bool fromRegistry);

[[nodiscard]] bool GetUserKvxPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetUserKvzPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetUserWyxPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetUserWyzPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetPreviouslyPlayedPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetEnqueuedPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetPriorityEnqueuedPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetUserPlaylistPath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetAddToEditorPath(PathText& out, bool fromRegistry);

[[nodiscard]] bool GetPlayerFolder(PathText& out, bool fromRegistry);
// Where the host keeps its decoder plugins.
[[nodiscard]] bool GetInputPluginFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetSoundOutputFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetSkinFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetVisualOutputFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetDspFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetUserAlbumsFolder(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetAlbumsFilePath(PathText& out, bool fromRegistry);
[[nodiscard]] bool GetAlbumAddToEditorPath(PathText& out, bool fromRegistry);

// These always resolve the installation folder from the executable.
[[nodiscard]] bool GetCompressionFolder(PathText& out);
[[nodiscard]] bool GetCompressionSkinFolder(PathText& out);
[[nodiscard]] bool GetAddThisFilePath(PathText& out);
[[nodiscard]] bool GetAddThisOutputToFilePath(PathText& out);
[[nodiscard]] bool GetDelayedCddbFilePath(PathText& out);
[[nodiscard]] bool GetConverterLogPath(PathText& out);
[[nodiscard]] bool GetCreatingCdFilePath(PathText& out);
[[nodiscard]] bool GetDspEffectsFolder(PathText& out);
[[nodiscard]] bool GetUsingDspsFilePath(PathText& out);

// Subkey paths of the host's settings; the root key is the caller's. They
// touch no registry.
[[nodiscard]] bool MakeSuiteRegistryKey(const char* keyName, PathText& out);
[[nodiscard]] bool GetSkinRegistryKey(PathText& out);
[[nodiscard]] bool GetCharReplaceRegistryKey(PathText& out);
