#include "plugin/plugin_exports.h"

#include <cstring>
#include <new>

#include "decoders/decoder_catalogue.h"
#include "decoders/guarded_call.h"
#include "plugin/conversion_object.h"
#include "plugin/tag_pattern_setting.h"

HINSTANCE ModuleInstance = nullptr;

namespace __gnu_cxx {
// The C++ runtime's release of its emergency exception pool (declared by no
// header), which it allocates at every load of this module.
void __freeres();
}

namespace {

// Gives back what this module allocated for the process, when FreeLibrary
// unloads it while the process goes on. Only our own heap blocks are freed:
// no other library is unloaded from here (the decoders stay loaded, see
// ReleaseProcessCatalogue). Nothing of this module runs after it but the
// runtime's own exit steps, none of which needs the pool.
void ReleaseAtUnload() {
    ReleaseProcessCatalogue();
    ReleaseAbortGuard();
    __gnu_cxx::__freeres();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
        ModuleInstance = instance;
        LoadStoredTagPattern();
    }
    // A null reserved pointer means FreeLibrary; at process exit the memory
    // goes with the process, and other threads may be stopped anywhere.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) ReleaseAtUnload();
    return TRUE;
}

ConversionObject* __cdecl CreateNewCompressionObject(const char* sourcePath,
                                                      std::int32_t* result,
                                                      std::int32_t) {
    if (result) *result = 0;
    try {
        return new (std::nothrow) ConversionObject(sourcePath, result);
    } catch (...) {
        // Nothing may cross into the host; the file is left as it is.
        return nullptr;
    }
}

void __cdecl ANewDataBlockArrived(ConversionObject*, std::int32_t, std::int32_t,
                                  std::int32_t, std::int32_t* result) {
    if (result) *result = 0;
}

void __cdecl DeleteCompressionObject(ConversionObject* object) { delete object; }

void __cdecl GetExtensionYouCreate(char* buffer) {
    static const char kExtension[] = ".IGNORE";
    static_assert(sizeof kExtension == 8);
    if (buffer) std::memcpy(buffer, kExtension, sizeof kExtension);
}

void __cdecl RemoveConfigBit() {}

bool __cdecl SendRawUnCompressedFiles() { return true; }

void __cdecl DisableJustOrigFolder() {}

void __cdecl DisableConvFolderTo() {}
