// The folder a test program runs from, as the plugin sees it, and where the
// program finds PathTagger.dll.
#pragma once

#include <windows.h>

#include <string>

inline std::string OwnFolder() {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    return folder.erase(folder.find_last_of('\\') + 1);
}

// The plugin's host folders are the program's folder in upper case.
inline std::string OwnFolderUpperCased() {
    std::string folder = OwnFolder();
    for (char& c : folder) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return folder;
}

// A test program staged in a host folder of its own has the DLL beside it;
// the others use the build's host folder.
inline std::string PluginDllPath() {
    const std::string beside = OwnFolder() + "PathTagger.dll";
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    return OwnFolder() + "..\\host\\PathTagger.dll";
}
