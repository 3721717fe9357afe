// pathtagger-host: a stand-in for the host application. It loads
// PathTagger.dll from its own folder (or the one --plugin names, such as the
// compression folder an installer wrote it to) and drives it as the host drives an
// encoder: one conversion object per file, or the options window with the
// plugin's page in it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hostenv/file_finder.h"
#include "hostenv/registry_values.h"
#include "tools/host/plugin_loader.h"

namespace {

const char kUsage[] =
    "usage: pathtagger-host [--plugin DLL] [--pattern PATTERN] FILE|FOLDER...\n"
    "       pathtagger-host [--plugin DLL] --config [--close-after-ms N]\n";

constexpr char kSettingsSubkey[] = "Software\\Brackenford\\Sonavell";
constexpr char kPatternValueName[] = "KestraTagFromFilename";

struct Options {
    bool config = false;
    const char* pattern = nullptr;
    const char* plugin = nullptr;
    long closeAfterMs = 0;
    std::vector<const char*> files;
};

bool ParseCount(const char* text, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && value > 0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded || arg[0] != '-') {
            options.files.push_back(arg);
        } else if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (std::strcmp(arg, "--pattern") == 0 && i + 1 < argc) {
            options.pattern = argv[++i];
        } else if (std::strcmp(arg, "--plugin") == 0 && i + 1 < argc) {
            options.plugin = argv[++i];
        } else if (std::strcmp(arg, "--config") == 0) {
            options.config = true;
        } else if (std::strcmp(arg, "--close-after-ms") == 0 && i + 1 < argc) {
            if (!ParseCount(argv[++i], options.closeAfterMs)) return false;
        } else {
            return false;
        }
    }
    if (options.config) return options.files.empty() && !options.pattern;
    return !options.files.empty() && options.closeAfterMs == 0;
}

// What the host can see of a file without reading it.
struct FileState {
    bool exists = false;
    FILETIME written{};
    ULONGLONG size = 0;
};

FileState ReadFileState(const char* path) {
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return state;
    state.exists = !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    state.written = data.ftLastWriteTime;
    state.size = (ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return state;
}

bool Changed(const FileState& before, const FileState& after) {
    return before.size != after.size ||
           CompareFileTime(&before.written, &after.written) != 0;
}

struct Tally {
    int seen = 0;
    int tagged = 0;
    int untouched = 0;
    int missing = 0;
};

void ConvertOne(const LoadedPlugin& plugin, const char* path, Tally& tally) {
    ++tally.seen;
    const FileState before = ReadFileState(path);
    if (!before.exists) {
        ++tally.missing;
        std::printf("missing    %s\n", path);
        return;
    }
    std::int32_t status = -1;
    void* object = plugin.createNewCompressionObject(path, &status, 0);
    std::int32_t blockStatus = -1;
    plugin.aNewDataBlockArrived(object, 0, 0, 0, &blockStatus);
    plugin.deleteCompressionObject(object);
    // A host would stop the conversion here; the plugin must never cause it.
    if (object == nullptr || status != 0 || blockStatus != 0) {
        std::fprintf(stderr, "pathtagger-host: the plugin reported a failure for %s\n", path);
    }
    const bool tagged = Changed(before, ReadFileState(path));
    ++(tagged ? tally.tagged : tally.untouched);
    std::printf("%s %s\n", tagged ? "tagged    " : "untouched ", path);
}

// The entries of a folder in name order, so that a run reads the same on
// every file system.
void ListFolder(const char* folder, std::vector<std::string>& files,
                std::vector<std::string>& folders) {
    FileFinder finder("*", folder);
    while (finder.Next()) {
        (finder.IsDirectory() ? folders : files).push_back(finder.GetPath());
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
}

// Files first, then the folders below, as a user reads a tree.
void ConvertTree(const LoadedPlugin& plugin, const char* folder, Tally& tally) {
    std::vector<std::string> files, folders;
    ListFolder(folder, files, folders);
    for (const std::string& file : files) ConvertOne(plugin, file.c_str(), tally);
    for (const std::string& below : folders) ConvertTree(plugin, below.c_str(), tally);
}

int RunConversions(const LoadedPlugin& plugin, const Options& options) {
    Tally tally;
    for (const char* path : options.files) {
        if (FolderExists(path)) {
            ConvertTree(plugin, path, tally);
        } else {
            ConvertOne(plugin, path, tally);
        }
    }
    std::printf("%d files seen, %d tagged, %d untouched, %d missing\n", tally.seen,
                tally.tagged, tally.untouched, tally.missing);
    return 0;
}

LRESULT CALLBACK OptionsWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateOptionsWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OptionsWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "PathTaggerHostOptions";
    RegisterClassA(&windowClass);
    return CreateWindowA("PathTaggerHostOptions", "Options - PathTagger",
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 440, 180,
                         nullptr, nullptr, windowClass.hInstance, nullptr);
}

int RunOptionsWindow(const LoadedPlugin& plugin, const Options& options) {
    HWND window = CreateOptionsWindow();
    if (!window) {
        std::fputs("pathtagger-host: cannot open the options window\n", stderr);
        return 1;
    }
    if (!plugin.showConfigBit(window)) {
        std::fputs("pathtagger-host: the plugin did not place its page\n", stderr);
        DestroyWindow(window);
        return 1;
    }
    if (options.closeAfterMs > 0) SetTimer(window, 1, UINT(options.closeAfterMs), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.pattern) {
        WriteRegistryString(options.pattern, kPatternValueName, HKEY_CURRENT_USER,
                            kSettingsSubkey);
    }
    const std::string pluginPath =
        options.plugin ? options.plugin : PathNextToProgram("PathTagger.dll");
    LoadedPlugin plugin;
    const char* missing = nullptr;
    if (!LoadPlugin(pluginPath.c_str(), plugin, &missing)) {
        std::fprintf(stderr, "pathtagger-host: cannot use %s%s%s\n", pluginPath.c_str(),
                     missing ? ": no export " : "", missing ? missing : "");
        return 1;
    }
    const int code =
        options.config ? RunOptionsWindow(plugin, options) : RunConversions(plugin, options);
    std::fflush(stdout);
    UnloadPlugin(plugin);
    return code;
}
