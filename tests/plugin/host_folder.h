// Where the build puts the ready-to-run host folder, seen from a test
// program in bin/.
#pragma once

#include <windows.h>

#include <string>

inline std::string HostFolder() {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "..\\host\\";
}

inline std::string PluginDllPath() { return HostFolder() + "PathTagger.dll"; }
