#include "plugin/plugin_exports.h"

#include <cstring>
#include <new>

#include "decoders/decoder_catalogue.h"
#include "plugin/conversion_object.h"
#include "plugin/tag_pattern_setting.h"

HINSTANCE ModuleInstance = nullptr;

namespace {

// Gives back what this module allocated or changed for the process, when
// FreeLibrary unloads it while the process goes on: our heap blocks, and the
// decoders' import slots, which must not point into this module once it is
// gone. No other library is unloaded from here (the decoders stay loaded,
// see ReleaseProcessCatalogue).
void ReleaseAtUnload() { ReleaseProcessCatalogue(); }

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
    return new (std::nothrow) ConversionObject(sourcePath, result);
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
