// Loads an encoder plugin the way the host does: LoadLibrary, then the nine
// entry points by name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct LoadedPlugin {
    using CreateFn = void*(__cdecl*)(const char*, std::int32_t*, std::int32_t);
    using BlockFn = void(__cdecl*)(void*, std::int32_t, std::int32_t, std::int32_t,
                                   std::int32_t*);
    using DeleteFn = void(__cdecl*)(void*);
    using ExtensionFn = void(__cdecl*)(char*);
    using ShowConfigFn = BOOL(__cdecl*)(HWND);
    using VoidFn = void(__cdecl*)();
    using RawFn = bool(__cdecl*)();

    HMODULE module = nullptr;
    CreateFn createNewCompressionObject = nullptr;
    BlockFn aNewDataBlockArrived = nullptr;
    DeleteFn deleteCompressionObject = nullptr;
    ExtensionFn getExtensionYouCreate = nullptr;
    ShowConfigFn showConfigBit = nullptr;
    VoidFn removeConfigBit = nullptr;
    RawFn sendRawUnCompressedFiles = nullptr;
    VoidFn disableJustOrigFolder = nullptr;
    VoidFn disableConvFolderTo = nullptr;
};

// Loads the DLL and resolves all nine names. False, with the module freed,
// when the DLL does not load or lacks any of them; missing names the first.
bool LoadPlugin(const char* dllPath, LoadedPlugin& plugin, const char** missing);
void UnloadPlugin(LoadedPlugin& plugin);

// name in the running program's own folder, where the host keeps its plugin.
std::string PathNextToProgram(const char* name);
