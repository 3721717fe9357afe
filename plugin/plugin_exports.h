// The plugin's face towards the host: nine functions called by name, plain C
// calling convention (the caller removes the arguments), undecorated names.
// The host drives the plugin like an output encoder, but all the work for a
// file happens while its conversion object is created; audio is dropped.
#pragma once

#include <windows.h>

#include <cstdint>

class ConversionObject;

extern "C" {

// Sets *result to 0 and returns a new conversion object, whose construction
// matches the path against the tag pattern and writes the tags. Null only
// when no memory could be had for the object.
ConversionObject* __cdecl CreateNewCompressionObject(const char* sourcePath,
                                                      std::int32_t* result,
                                                      std::int32_t unused);
// Drops the block; sets *result to 0.
void __cdecl ANewDataBlockArrived(ConversionObject* object, std::int32_t unused1,
                                  std::int32_t unused2, std::int32_t unused3,
                                  std::int32_t* result);
// Frees the object; null does nothing.
void __cdecl DeleteCompressionObject(ConversionObject* object);
// Writes ".IGNORE" and its terminator: exactly 8 bytes.
void __cdecl GetExtensionYouCreate(char* buffer);
// Places the configuration page at (20, 37) of the parent's client area.
BOOL __cdecl ShowConfigBit(HWND parent);
void __cdecl RemoveConfigBit();
// The plugin wants the raw source files: always true.
bool __cdecl SendRawUnCompressedFiles();
void __cdecl DisableJustOrigFolder();
void __cdecl DisableConvFolderTo();

}  // extern "C"

// The module's instance handle, kept at every attach.
extern HINSTANCE ModuleInstance;
