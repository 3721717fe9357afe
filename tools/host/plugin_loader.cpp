#include "tools/host/plugin_loader.h"

namespace {

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn, const char** missing) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!fn && missing && !*missing) *missing = name;
    return fn != nullptr;
}

}  // namespace

bool LoadPlugin(const char* dllPath, LoadedPlugin& plugin, const char** missing) {
    if (missing) *missing = nullptr;
    plugin = LoadedPlugin{};
    plugin.module = LoadLibraryA(dllPath);
    if (!plugin.module) return false;
    HMODULE m = plugin.module;
    bool all = Resolve(m, "CreateNewCompressionObject", plugin.createNewCompressionObject, missing);
    all &= Resolve(m, "ANewDataBlockArrived", plugin.aNewDataBlockArrived, missing);
    all &= Resolve(m, "DeleteCompressionObject", plugin.deleteCompressionObject, missing);
    all &= Resolve(m, "GetExtensionYouCreate", plugin.getExtensionYouCreate, missing);
    all &= Resolve(m, "ShowConfigBit", plugin.showConfigBit, missing);
    all &= Resolve(m, "RemoveConfigBit", plugin.removeConfigBit, missing);
    all &= Resolve(m, "SendRawUnCompressedFiles", plugin.sendRawUnCompressedFiles, missing);
    all &= Resolve(m, "DisableJustOrigFolder", plugin.disableJustOrigFolder, missing);
    all &= Resolve(m, "DisableConvFolderTo", plugin.disableConvFolderTo, missing);
    if (!all) UnloadPlugin(plugin);
    return all;
}

void UnloadPlugin(LoadedPlugin& plugin) {
    if (plugin.module) FreeLibrary(plugin.module);
    plugin = LoadedPlugin{};
}

std::string PathNextToProgram(const char* name) {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path = exe;
    path.erase(path.find_last_of('\\') + 1);
    return path + name;
}
