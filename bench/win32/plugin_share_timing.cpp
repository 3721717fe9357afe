// plugin_share_timing PATTERN LIST
//
// Converts every file named in LIST (one path a line, in the ANSI code page)
// through the PathTagger.dll next to this program, the way the host does,
// and prints the seconds spent inside the plugin's calls:
//   files N
//   seconds S
// Whatever decoder sits in this program's decoder folder does the writing;
// with one that writes nothing, what remains is the plugin's own time.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/win32/stopwatch.h"
#include "hostenv/registry_values.h"
#include "plugin/tag_pattern_setting.h"
#include "tools/host/plugin_loader.h"

namespace {

std::vector<std::string> ReadLines(const char* path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// The host's calls for one file: create, one empty block, delete.
void ConvertOne(const LoadedPlugin& plugin, const char* path) {
    std::int32_t status = -1;
    void* object = plugin.createNewCompressionObject(path, &status, 0);
    plugin.aNewDataBlockArrived(object, 0, 0, 0, &status);
    plugin.deleteCompressionObject(object);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: plugin_share_timing PATTERN LIST\n", stderr);
        return 2;
    }
    // The plugin reads the stored pattern when it is loaded.
    WriteRegistryString(argv[1], kTagPatternValueName, HKEY_CURRENT_USER, kSettingsSubkey);
    const std::vector<std::string> files = ReadLines(argv[2]);
    LoadedPlugin plugin;
    if (!LoadPlugin(PathNextToProgram("PathTagger.dll").c_str(), plugin, nullptr)) {
        std::fputs("plugin_share_timing: cannot load PathTagger.dll\n", stderr);
        return 1;
    }
    const double start = SecondsNow();
    for (const std::string& file : files) ConvertOne(plugin, file.c_str());
    const double seconds = SecondsNow() - start;
    std::printf("files %zu\nseconds %.6f\n", files.size(), seconds);
    std::fflush(stdout);
    UnloadPlugin(plugin);
    return 0;
}
