#include "hostenv/install_folder_rules.h"

#include <cstring>

#include "hostenv/path_strings.h"

namespace {

void UpperCaseAsciiLetters(PathText& text) {
    for (char* c = text.Data(); *c; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    }
}

}  // namespace

bool InstallFolderFromModulePath(const char* modulePath, PathText& out) {
    PathText path;
    if (!path.Assign(modulePath)) return false;
    UpperCaseAsciiLetters(path);
    if (path.Empty() || std::strstr(path.CStr(), kSourceTreeMarker) != nullptr) {
        return out.Assign(kDefaultInstallFolder);
    }
    if (!GetFolderPart(path.CStr(), out)) return false;
    // Shorter than what it copies, so it always fits.
    if (out.CStr()[0] == '"') out.AssignOrCut(out.CStr() + 1);
    return true;
}
