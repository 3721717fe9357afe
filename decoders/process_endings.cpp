#include "decoders/process_endings.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "decoders/guarded_call.h"
#include "util/ascii_case.h"
#include "util/pointer_list.h"

namespace {

enum Ending { kAbort, kExit, kUnderscoreExit, kCapitalExit, kExitProcess, kEndings };

struct EndingImport {
    const char* name;
    bool fromKernel;  // else from a C run-time
};

constexpr EndingImport kEndingImports[kEndings] = {
    {"abort", false}, {"exit", false}, {"_exit", false}, {"_Exit", false},
    {"ExitProcess", true}};

// Each of our functions must pass on to exactly the function its slot held,
// and decoders may import from several run-times, so there is one of ours
// per ending and per distinct original. A process rarely holds more than
// two or three C run-times; a slot whose original finds no free place is
// left alone.
constexpr int kMaxOriginals = 8;
std::atomic<void*> originals[kEndings][kMaxOriginals];

using AbortFunction = void(__cdecl*)();
using ExitFunction = void(__cdecl*)(int);
using ExitProcessFunction = void(WINAPI*)(UINT);

template <typename Function>
Function Original(int ending, int n) {
    return reinterpret_cast<Function>(originals[ending][n].load());
}

// None of the originals returns; the calls are the last thing ours do, so a
// host thread that is in one when this module unloads never comes back here.
template <int N>
void __cdecl AbortInstead() {
    EndGuardedCallIfInside();
    Original<AbortFunction>(kAbort, N)();
}

template <int Kind, int N>
void __cdecl ExitInstead(int status) {
    EndGuardedCallIfInside();
    Original<ExitFunction>(Kind, N)(status);
}

template <int N>
void WINAPI ExitProcessInstead(UINT code) {
    EndGuardedCallIfInside();
    Original<ExitProcessFunction>(kExitProcess, N)(code);
}

template <std::size_t... N>
void* ReplacementAt(int ending, int n, std::index_sequence<N...>) {
    static constexpr AbortFunction aborts[] = {&AbortInstead<N>...};
    static constexpr ExitFunction exits[][kMaxOriginals] = {{&ExitInstead<kExit, N>...},
                                                            {&ExitInstead<kUnderscoreExit, N>...},
                                                            {&ExitInstead<kCapitalExit, N>...}};
    static constexpr ExitProcessFunction exitProcesses[] = {&ExitProcessInstead<N>...};
    static_assert(kExit == 1 && kCapitalExit == 3);
    if (ending == kAbort) return reinterpret_cast<void*>(aborts[n]);
    if (ending == kExitProcess) return reinterpret_cast<void*>(exitProcesses[n]);
    return reinterpret_cast<void*>(exits[ending - kExit][n]);
}

void* Replacement(int ending, int n) {
    return ReplacementAt(ending, n, std::make_index_sequence<kMaxOriginals>());
}

// Module names, whose case means nothing to the loader.
bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    return CompareIgnoringAsciiCase(text.substr(0, start.size()), start) == 0;
}

bool IsCRuntime(const char* dll) {
    return StartsWithIgnoringCase(dll, "msvcr") || StartsWithIgnoringCase(dll, "ucrtbase") ||
           StartsWithIgnoringCase(dll, "api-ms-win-crt-");
}

bool IsKernel(const char* dll) {
    return CompareIgnoringAsciiCase(dll, "kernel32.dll") == 0 ||
           StartsWithIgnoringCase(dll, "api-ms-win-core-processthreads-");
}

int EndingOf(const char* dll, const char* name) {
    const bool crt = IsCRuntime(dll);
    const bool kernel = !crt && IsKernel(dll);
    if (!crt && !kernel) return kEndings;
    for (int ending = 0; ending < kEndings; ++ending) {
        if (kEndingImports[ending].fromKernel == kernel &&
            std::strcmp(kEndingImports[ending].name, name) == 0) {
            return ending;
        }
    }
    return kEndings;
}

// Calls visit(ending, dll, name, slot) for every import of the module by
// name that is one of the process-ending functions. Imports without a name
// table (bound long ago) cannot be told apart and are not visited.
template <typename Visit>
void ForEachEndingImport(HMODULE module, Visit visit) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return;
    for (const auto* from = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + imports.VirtualAddress);
         from->Name != 0; ++from) {
        const auto* dll = reinterpret_cast<const char*>(base + from->Name);
        if (from->OriginalFirstThunk == 0 || (!IsCRuntime(dll) && !IsKernel(dll))) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + from->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + from->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const auto* name = reinterpret_cast<const char*>(byName->Name);
            const int ending = EndingOf(dll, name);
            if (ending != kEndings) {
                visit(ending, dll, name, reinterpret_cast<void**>(&slots->u1.Function));
            }
        }
    }
}

// Import slots may lie in read-only pages; their protection is as it was
// afterwards.
void WriteSlot(void** slot, void* target) {
    DWORD protection;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
    InterlockedExchangePointer(slot, target);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// The place of the original among ours, taking a free one for a new
// original; kMaxOriginals when none is free.
int PlaceOf(int ending, void* original) {
    for (int n = 0; n < kMaxOriginals; ++n) {
        void* held = originals[ending][n].load();
        if (held == original) return n;
        if (held == nullptr) {
            originals[ending][n] = original;
            return n;
        }
    }
    return kMaxOriginals;
}

void* RunTimeFunction(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

void InterceptSlots(HMODULE decoder) {
    ForEachEndingImport(decoder, [](int ending, const char* dll, const char* name, void** slot) {
        void* original = *slot;
        if (original == nullptr || original != RunTimeFunction(dll, name)) return;
        const int n = PlaceOf(ending, original);
        if (n < kMaxOriginals) WriteSlot(slot, Replacement(ending, n));
    });
}

void RestoreSlots(HMODULE decoder) {
    ForEachEndingImport(decoder, [](int ending, const char*, const char*, void** slot) {
        for (int n = 0; n < kMaxOriginals; ++n) {
            if (*slot == Replacement(ending, n)) {
                WriteSlot(slot, originals[ending][n].load());
                return;
            }
        }
    });
}

// How many holders each intercepted decoder has.
struct Interception {
    HMODULE decoder;
    int holders;
};

SRWLOCK interceptionsLock = SRWLOCK_INIT;
PointerList interceptions;  // Interception*

std::int32_t IndexOf(HMODULE decoder) {
    for (std::int32_t i = 0; i < interceptions.count; ++i) {
        if (static_cast<Interception*>(interceptions.items[i])->decoder == decoder) return i;
    }
    return -1;
}

}  // namespace

void InterceptProcessEndings(HMODULE decoder) {
    AcquireSRWLockExclusive(&interceptionsLock);
    const std::int32_t i = IndexOf(decoder);
    if (i >= 0) {
        ++static_cast<Interception*>(interceptions.items[i])->holders;
    } else if (auto* record = new (std::nothrow) Interception{decoder, 1}) {
        const std::int32_t before = interceptions.count;
        if (interceptions.Add(record) != before) {
            InterceptSlots(decoder);
        } else {
            delete record;  // not counted, so not intercepted either
        }
    }
    ReleaseSRWLockExclusive(&interceptionsLock);
}

void RestoreProcessEndings(HMODULE decoder) {
    AcquireSRWLockExclusive(&interceptionsLock);
    const std::int32_t i = IndexOf(decoder);
    auto* record = i >= 0 ? static_cast<Interception*>(interceptions.items[i]) : nullptr;
    if (record != nullptr && --record->holders == 0) {
        RestoreSlots(decoder);
        interceptions.RemoveAt(i);
        delete record;
        // The list's own array goes with the last record: nothing of ours
        // stays allocated after the module's unload.
        if (interceptions.count == 0) interceptions.Clear();
    }
    ReleaseSRWLockExclusive(&interceptionsLock);
}
