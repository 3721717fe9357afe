// How the host's installation folder follows from the path of its
// executable, without asking the platform, so that every kind of path can be
// checked anywhere.
#pragma once

#include "util/fixed_text.h"

// Where the host is installed when its executable cannot tell.
inline constexpr char kDefaultInstallFolder[] = "c:\\Program files\\Brackenford\\Sonavell\\";

// A development build of the host runs from below a folder whose upper-cased
// path contains this text; it then uses the default folder.
inline constexpr char kSourceTreeMarker[] = "SOURCE CODE";

// The executable's folder, upper-cased (letters a to z only) and with its
// trailing backslash, without one leading double quote. An empty path, or
// one that contains the marker in any case, gives the default folder as
// written. False, with out undefined, when the path or its folder does not
// fit a path text: a cut folder would be another folder.
[[nodiscard]] bool InstallFolderFromModulePath(const char* modulePath, PathText& out);
