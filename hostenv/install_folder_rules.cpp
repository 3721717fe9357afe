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

void InstallFolderFromModulePath(const char* modulePath, PathText& out) {
    PathText path(modulePath);
    UpperCaseAsciiLetters(path);
    if (path.Empty() || std::strstr(path.CStr(), kSourceTreeMarker) != nullptr) {
        out.Assign(kDefaultInstallFolder);
        return;
    }
    GetFolderPart(path.CStr(), out);
    if (out.CStr()[0] == '"') out.Assign(out.CStr() + 1);
}
