// PathTaggerPreview.exe [--folder PATH] [--pattern PATTERN]: shows what a
// tag pattern would write into every file of a folder tree, before the host
// runs them.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/preview-window/preview_window.h"

namespace {

constexpr char kTitle[] = "PathTagger Preview";
constexpr char kUsage[] =
    "PathTaggerPreview.exe [--folder PATH] [--pattern PATTERN]\n\n"
    "Lists every file below PATH with the values PATTERN would write into it, "
    "and what the plugin would do with it. Without --folder the folder shown "
    "last; without --pattern the pattern in force.";

enum class Arguments { Read, Help, Wrong };

// why names the argument that was not understood.
Arguments ReadArguments(int argc, char** argv, PreviewOptions& options, std::string& why) {
    for (int i = 1; i < argc; i += 2) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return Arguments::Help;
        }
        const bool known = std::strcmp(argv[i], "--folder") == 0 ||
                           std::strcmp(argv[i], "--pattern") == 0;
        if (!known) {
            why = std::string("Unknown option \"") + argv[i] + "\".";
            return Arguments::Wrong;
        }
        if (i + 1 >= argc) {
            why = std::string(argv[i]) + " needs a value.";
            return Arguments::Wrong;
        }
        if (std::strcmp(argv[i], "--folder") == 0) {
            options.folder = argv[i + 1];
        } else {
            options.pattern = argv[i + 1];
            options.patternGiven = true;
        }
    }
    return Arguments::Read;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    PreviewOptions options;
    std::string why;
    switch (ReadArguments(__argc, __argv, options, why)) {
        case Arguments::Help:
            MessageBoxA(nullptr, kUsage, kTitle, MB_OK | MB_ICONINFORMATION);
            return 0;
        case Arguments::Wrong:
            MessageBoxA(nullptr, (why + "\n\n" + kUsage).c_str(), kTitle, MB_OK | MB_ICONERROR);
            return 2;
        case Arguments::Read:
            break;
    }
    // The folder picker is a shell dialog and wants an apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int code = RunPreviewWindow(instance, options);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
