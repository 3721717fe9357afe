#include "decoders/decoder_catalogue.h"

#include <cstring>
#include <new>

#include "decoders/guarded_call.h"
#include "decoders/process_endings.h"
#include "hostenv/file_finder.h"
#include "hostenv/host_folders.h"
#include "hostenv/path_strings.h"
#include "util/ascii_case.h"

namespace {

DecoderCatalogue* processCatalogue = nullptr;

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& entryPoint) {
    // Through the generic function type, which the compiler lets any
    // function pointer become.
    entryPoint = reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

void ResolveEntryPoints(DecoderEntry& decoder) {
    HMODULE m = decoder.module;
    Resolve(m, "WhatFormats", decoder.whatFormats);
    Resolve(m, "GetTrackInfo", decoder.getTrackInfo);
    Resolve(m, "CreateANewDecoderObject", decoder.createANewDecoderObject);
    Resolve(m, "DeleteADecoderObject", decoder.deleteADecoderObject);
    Resolve(m, "OutputWantsABlockOfData", decoder.outputWantsABlockOfData);
    Resolve(m, "ShowAboutOptionsPage", decoder.showAboutOptionsPage);
    Resolve(m, "SkipTo", decoder.skipTo);
    Resolve(m, "SetVolume", decoder.setVolume);
    Resolve(m, "Pause", decoder.pause);
    Resolve(m, "UnPause", decoder.unPause);
    Resolve(m, "GetStringInfo", decoder.getStringInfo);
    Resolve(m, "SetIDTagElement", decoder.setIDTagElement);
    Resolve(m, "GetIDTagElement", decoder.getIDTagElement);
    Resolve(m, "IsThisProtected", decoder.isThisProtected);
}

// Add reports a slot array that could not grow by leaving the count as it
// was; the record is then the caller's to free.
bool Append(PointerList& list, void* record) {
    const std::int32_t before = list.count;
    return list.Add(record) != before;
}

// The interface promises 260 characters per buffer. Plugins have been seen
// to write more, so the buffers have room to spare, and what is kept is cut
// to the catalogue's fields afterwards.
using FormatReply = FixedText<4096>;

// Asks the plugin for one format; false when it faulted. Plugins need not
// terminate what they write: the buffers are wiped before every call, so a
// text ends where the plugin stopped writing, and terminated after it.
bool AskFormat(WhatFormatsFunction whatFormats, std::int32_t index, FormatReply& extension,
               FormatReply& description) {
    extension.Wipe();
    description.Wipe();
    const bool returned = Guarded(
        [&] { whatFormats(index, extension.Data(), description.Data()); });
    extension.Terminate();
    description.Terminate();
    return returned;
}

// A plugin that faults stops declaring formats; those it declared stay.
void AddDeclaredFormats(DecoderCatalogue& catalogue, const DecoderEntry& decoder) {
    FormatReply extension;
    FormatReply description;
    for (std::int32_t index = 0; index < kMaxFormatsPerDecoder; ++index) {
        if (!AskFormat(decoder.whatFormats, index, extension, description)) return;
        if (extension.Empty()) return;
        auto* format = new (std::nothrow) FormatEntry;
        if (format == nullptr) return;
        // A cut extension would find this decoder for files it never named.
        if (!format->extension.Assign(extension.CStr())) {
            delete format;
            continue;
        }
        format->description.AssignOrCut(description.CStr());  // only shown
        format->decoderPath = decoder.path;
        if (!Append(catalogue.formats, format)) {
            delete format;
            return;
        }
    }
}

void LoadDecoder(DecoderCatalogue& catalogue, const char* path) {
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) return;
    auto* decoder = new (std::nothrow) DecoderEntry;
    // A record under a cut path would never be found again by its formats.
    const bool recorded = decoder != nullptr && decoder->path.Assign(path);
    if (recorded) {
        decoder->module = module;
        ResolveEntryPoints(*decoder);
    }
    // A library without a record could never be found, nor unloaded.
    if (!recorded || !Append(catalogue.decoders, decoder)) {
        delete decoder;
        FreeLibrary(module);
        return;
    }
    // Before its first call: even enumerating its formats may end a process.
    InterceptProcessEndings(module);
    if (decoder->whatFormats) AddDeclaredFormats(catalogue, *decoder);
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    return CompareIgnoringAsciiCase(a, b) == 0;
}

template <typename Record>
Record* At(const PointerList& list, std::int32_t i) {
    return static_cast<Record*>(list.items[i]);
}

DecoderEntry* DecoderWithPath(const DecoderCatalogue& catalogue, const PathText& path) {
    for (std::int32_t i = 0; i < catalogue.decoders.count; ++i) {
        DecoderEntry* decoder = At<DecoderEntry>(catalogue.decoders, i);
        if (decoder && decoder->path == path.CStr()) return decoder;
    }
    return nullptr;
}

// The host may create conversion objects on several threads at once: the
// first lookup builds the catalogue exactly once while the others wait.
// A catalogue that could not be allocated fails the once-only step, which
// lets the next lookup try again.
BOOL CALLBACK BuildProcessCatalogue(INIT_ONCE*, void*, void**) {
    processCatalogue = new (std::nothrow) DecoderCatalogue;
    if (processCatalogue == nullptr) return FALSE;
    BuildDecoderCatalogue(*processCatalogue);
    return TRUE;
}

// Each decoder's import slots go back before its library may leave.
void FreeRecords(DecoderCatalogue& catalogue, bool unloadDecoders) {
    for (std::int32_t i = 0; i < catalogue.formats.count; ++i) {
        delete At<FormatEntry>(catalogue.formats, i);
    }
    for (std::int32_t i = 0; i < catalogue.decoders.count; ++i) {
        if (DecoderEntry* decoder = At<DecoderEntry>(catalogue.decoders, i)) {
            RestoreProcessEndings(decoder->module);
            if (unloadDecoders) FreeLibrary(decoder->module);
            delete decoder;
        }
    }
    catalogue.decoders.Clear();
    catalogue.formats.Clear();
}

}  // namespace

DecoderCatalogue* GetDecoderCatalogue() {
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, BuildProcessCatalogue, nullptr, nullptr);
    return processCatalogue;
}

void BuildDecoderCatalogue(DecoderCatalogue& catalogue) {
    PathText folder;
    // Decoders from a cut folder name would be another folder's.
    if (GetInputPluginFolder(folder, false)) LoadDecoderFolder(catalogue, folder.CStr());
}

void LoadDecoderFolder(DecoderCatalogue& catalogue, const char* folder) {
    FileFinder finder("*.dll", folder);
    while (finder.Next()) LoadDecoder(catalogue, finder.GetPath());
}

void DestroyDecoderCatalogue(DecoderCatalogue& catalogue) {
    FreeRecords(catalogue, true);
}

void ReleaseProcessCatalogue() {
    if (processCatalogue == nullptr) return;
    FreeRecords(*processCatalogue, false);
    delete processCatalogue;
    processCatalogue = nullptr;
}

DecoderEntry* FindDecoderForExtension(const char* extension) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    if (catalogue == nullptr) return nullptr;
    return FindDecoderInCatalogue(*catalogue, extension);
}

DecoderEntry* FindDecoderInCatalogue(const DecoderCatalogue& catalogue,
                                     const char* extension) {
    for (std::int32_t i = 0; i < catalogue.formats.count; ++i) {
        const FormatEntry* format = At<FormatEntry>(catalogue.formats, i);
        if (format == nullptr || !EqualIgnoringAsciiCase(format->extension.CStr(), extension)) {
            continue;
        }
        if (DecoderEntry* decoder = DecoderWithPath(catalogue, format->decoderPath)) {
            return decoder;
        }
    }
    return nullptr;
}

namespace {

// Calls visit for every format of the process catalogue, in order, until it
// answers false.
template <typename Visit>
void ForEachFormat(Visit visit) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    if (catalogue == nullptr) return;
    for (std::int32_t i = 0; i < catalogue->formats.count; ++i) {
        const FormatEntry* format = At<FormatEntry>(catalogue->formats, i);
        if (format && !visit(*format)) return;
    }
}

}  // namespace

bool IsExtensionSupported(const char* extension) {
    bool found = false;
    ForEachFormat([&](const FormatEntry& format) {
        found = EqualIgnoringAsciiCase(format.extension.CStr(), extension);
        return !found;
    });
    return found;
}

bool IsFileSupported(const char* path) {
    PathText extension;
    // Every declared extension fits whole, so a cut one is no decoder's.
    return GetExtension(path, extension) && IsExtensionSupported(extension.CStr());
}

void BuildExtensionWildcardList(char* buffer, std::size_t size) {
    std::size_t used = BoundedLength(buffer, size);
    if (used == size) return;  // no terminator within the buffer: leave it
    bool first = true;
    ForEachFormat([&](const FormatEntry& format) {
        const char* separator = first ? "" : ";";
        const std::size_t length =
            std::strlen(separator) + 1 + format.extension.Length();
        if (used + length >= size) return false;
        std::strcpy(buffer + used, separator);
        std::strcat(buffer + used, "*");
        std::strcat(buffer + used, format.extension.CStr());
        used += length;
        first = false;
        return true;
    });
}

void BuildFileDialogFilter(char* buffer, std::size_t size) {
    if (size == 0) return;
    std::size_t used = 0;
    ForEachFormat([&](const FormatEntry& format) {
        const std::size_t descriptionSize = format.description.Length() + 1;
        const std::size_t wildcardSize = 1 + format.extension.Length() + 1;
        // One byte stays for the list's final NUL.
        if (used + descriptionSize + wildcardSize >= size) return false;
        std::memcpy(buffer + used, format.description.CStr(), descriptionSize);
        used += descriptionSize;
        buffer[used] = '*';
        std::memcpy(buffer + used + 1, format.extension.CStr(), wildcardSize - 1);
        used += wildcardSize;
        return true;
    });
    if (used > 0) buffer[used] = '\0';
}
