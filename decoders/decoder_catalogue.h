// The host's decoder plugins, loaded once per process from its decoder
// folder, with the formats each one declares. The first query of any kind
// builds the catalogue; it is never rebuilt while this module stays loaded,
// and the plugins stay loaded.
#pragma once

#include <windows.h>

#include <cstddef>

#include "decoders/decoder_plugin.h"
#include "util/fixed_text.h"
#include "util/pointer_list.h"

struct DecoderEntry {
    PathText path;
    HMODULE module = nullptr;
    WhatFormatsFunction whatFormats = nullptr;
    GetTrackInfoFunction getTrackInfo = nullptr;
    UnusedEntryPoint createANewDecoderObject = nullptr;
    UnusedEntryPoint deleteADecoderObject = nullptr;
    UnusedEntryPoint outputWantsABlockOfData = nullptr;
    UnusedEntryPoint showAboutOptionsPage = nullptr;
    UnusedEntryPoint skipTo = nullptr;
    UnusedEntryPoint setVolume = nullptr;
    UnusedEntryPoint pause = nullptr;
    UnusedEntryPoint unPause = nullptr;
    UnusedEntryPoint getStringInfo = nullptr;
    SetIDTagElementFunction setIDTagElement = nullptr;
    UnusedEntryPoint getIDTagElement = nullptr;
    UnusedEntryPoint isThisProtected = nullptr;
};

struct FormatEntry {
    FixedText<100> extension;  // with its dot; longer declarations are left out
    PathText description;
    PathText decoderPath;
};

struct DecoderCatalogue {
    PointerList formats;   // FormatEntry*, in declaration order
    PointerList decoders;  // DecoderEntry*, in load order
};

// A plugin whose enumeration never ends is asked for this many formats.
constexpr std::int32_t kMaxFormatsPerDecoder = 1024;

// The process-wide catalogue, built on first use; null only when it could
// not be allocated.
DecoderCatalogue* GetDecoderCatalogue();
// Loads every "*.dll" of the host's decoder folder into the catalogue.
void BuildDecoderCatalogue(DecoderCatalogue& catalogue);
// Loads every "*.dll" of the folder, in the platform's enumeration order.
void LoadDecoderFolder(DecoderCatalogue& catalogue, const char* folder);
// While a catalogue holds a plugin, the plugin's own imports of the
// run-time's process-ending functions are intercepted (process_endings.h).

// Frees every record and unloads every plugin; the lists end empty.
void DestroyDecoderCatalogue(DecoderCatalogue& catalogue);
// Frees the process catalogue with its records and lists when this module
// is unloaded, and gives the plugins their import slots back. The decoder
// libraries stay loaded: this runs from the module's
// entry point, under the loader lock, where the platform's DLL guidance rules
// out unloading other libraries. A later load of this module loads them
// again, which only counts up their references.
void ReleaseProcessCatalogue();

// The plugin that declared the extension (with its dot, any letter case)
// first, or null.
DecoderEntry* FindDecoderForExtension(const char* extension);
// The same lookup in a catalogue of the caller's.
DecoderEntry* FindDecoderInCatalogue(const DecoderCatalogue& catalogue,
                                     const char* extension);
bool IsExtensionSupported(const char* extension);
bool IsFileSupported(const char* path);
// Appends "*.abc;*.def" for the declared formats to the text in buffer
// (size bytes). A wildcard that would not fit whole is left out, with all
// that follow it.
void BuildExtensionWildcardList(char* buffer, std::size_t size);
// Writes description and wildcard pairs, each NUL-terminated, followed by
// one more NUL, as the common file dialogs take a filter. Pairs that would
// not fit whole are left out.
void BuildFileDialogFilter(char* buffer, std::size_t size);
