#include "plugin/plugin_exports.h"

#include <cstring>
#include <new>

#include "plugin/conversion_object.h"
#include "plugin/tag_pattern_setting.h"

HINSTANCE ModuleInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) {
        ModuleInstance = instance;
        LoadStoredTagPattern();
    }
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
