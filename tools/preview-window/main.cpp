// PathTaggerPreview.exe [--folder PATH] [--pattern PATTERN]: shows what a
// tag pattern would write into every file of a folder tree, before the host
// runs them.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>

#include "tools/preview-window/preview_window.h"

namespace {

bool ReadArguments(int argc, char** argv, PreviewOptions& options) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        if (std::strcmp(argv[i], "--folder") == 0) {
            options.folder = argv[i + 1];
        } else if (std::strcmp(argv[i], "--pattern") == 0) {
            options.pattern = argv[i + 1];
            options.patternGiven = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    PreviewOptions options;
    if (!ReadArguments(__argc, __argv, options)) {
        MessageBoxA(nullptr, "PathTaggerPreview.exe [--folder PATH] [--pattern PATTERN]",
                    "PathTagger Preview", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    // The folder picker is a shell dialog and wants an apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int code = RunPreviewWindow(instance, options);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
