// reload_host: a host that loads the plugin, tags one file through it and
// unloads it, over and over, and checks that the plugin is a good guest.
//
//   reload_host cycles N         N cycles; then handles and committed private
//                                memory from cycle 10 to the last stay within
//                                bounds, the last cycle tags like the first,
//                                and the process-wide state is as before
//   reload_host abort-after-unload
//                                one cycle, then the host aborts: its own
//                                SIGABRT handler must be reached
//   reload_host decoder-endings  conversions whose decoder aborts, exits,
//                                calls ExitProcess and overflows its stack
//                                twice, all on one thread; the host lives on
//                                and the next file is tagged
//   reload_host abort-storm      8 threads released together, 250 aborting
//                                conversions each; none may end the host
//   reload_host decoder-exit-after-unload
//                                the plugin tags through the ending decoder
//                                and is unloaded; then the host calls the
//                                decoder's exit(9) itself, which must end
//                                the process with 9, not in the plugin's
//                                unloaded code
//   reload_host crash-reporter [unloaded|unloading]
//                                a decoder's abort is stopped, then the host
//                                aborts with a handler that logs and aborts
//                                again: one line, exit status 3, as without
//                                the plugin; with the plugin unloaded first,
//                                or unloaded while the handler runs
//
// The recording decoder in the program's own decoder folder logs every tag
// write. Wine answers 0 to GetProcessHandleCount and keeps PrivateUsage at 0,
// so handles are counted by probing handle values, and private memory is
// summed region by region.
#include <windows.h>
#include <tlhelp32.h>

#include <float.h>
#include <intrin.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hostenv/registry_values.h"
#include "tests/support/program_folder.h"
#include "tests/support/stack_overflows.h"
#include "tools/host/plugin_loader.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Brackenford\\Sonavell";
constexpr char kPatternValue[] = "KestraTagFromFilename";
constexpr int kSettledCycle = 10;
constexpr long kMaxHandleGrowth = 16;
constexpr long long kMaxPrivateGrowth = 4LL << 20;
constexpr long long kMaxHeapBlockGrowth = 64;

extern "C" void __cdecl HostAbortHandler(int) {
    std::puts("the host's own abort handler ran");
    std::fflush(stdout);
    std::_Exit(0);
}

// In the cycles the process must never abort: that is a failure, whoever
// raised it.
extern "C" void __cdecl AbortDuringCycles(int) {
    std::puts("FAIL the process aborted during the cycles");
    std::fflush(stdout);
    std::_Exit(3);
}

long CountHandles() {
    long count = 0;
    for (ULONG_PTR value = 4; value <= 65532; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

long long CommittedPrivateBytes() {
    long long total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (auto* at = static_cast<char*>(nullptr);
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += static_cast<long long>(region.RegionSize);
        }
        if (static_cast<char*>(region.BaseAddress) + region.RegionSize < at) break;
    }
    return total;
}

// Allocated blocks in every heap of the process: a guest that keeps a few
// small blocks per load shows here long before it shows in committed memory.
long long CountHeapBlocks() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    long long blocks = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++blocks;
        }
        HeapUnlock(heaps[i]);
    }
    return blocks;
}

long CountThreads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    long count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more;
         more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// The lowest free thread-local-storage index: it moves up when a loaded
// module keeps one.
DWORD LowestFreeTlsIndex() {
    const DWORD index = TlsAlloc();
    TlsFree(index);
    return index;
}

void(__cdecl* CurrentAbortHandler())(int) {
    auto current = std::signal(SIGABRT, SIG_DFL);
    std::signal(SIGABRT, current);
    return current;
}

unsigned short X87ControlWord() {
    unsigned short word;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

unsigned int SseControlAndStatus() {
    unsigned int word;
    __asm__ volatile("stmxcsr %0" : "=m"(word));
    // Only the control bits: the status flags are sticky, and the host's own
    // arithmetic sets them where doubles are computed in SSE registers.
    constexpr unsigned int kStatusFlags = 0x3F;
    return word & ~kStatusFlags;
}

std::uintptr_t ExceptionChainHead() {
#if defined(__i386__)
    return __readfsdword(0);
#else
    return 0;
#endif
}

// Everything in the process that a guest could change and leave behind.
struct ProcessState {
    void(__cdecl* abortHandler)(int);
    UINT errorMode;
    DWORD threadErrorMode;
    std::string locale;
    unsigned int crtFloatControl;
    unsigned short x87ControlWord;
    unsigned int mxcsr;
    // The head of the exception registration chain; at 64 bits there is
    // none, exceptions are unwound by tables.
    std::uintptr_t exceptionChain;
    long threads;
};

ProcessState TakeProcessState() {
    return {CurrentAbortHandler(),
            GetErrorMode(),
            GetThreadErrorMode(),
            std::setlocale(LC_ALL, nullptr),
            _controlfp(0, 0),
            X87ControlWord(),
            SseControlAndStatus(),
            ExceptionChainHead(),
            CountThreads()};
}

int failures = 0;

template <typename Value>
void Expect(const char* what, const Value& before, const Value& after) {
    const bool same = before == after;
    std::ostringstream line;
    line << (same ? "ok   " : "FAIL ") << what << ": " << before << " -> " << after;
    std::puts(line.str().c_str());
    if (!same) ++failures;
}

void ExpectStateAsFound(const ProcessState& before, const ProcessState& after) {
    Expect("SIGABRT handler", reinterpret_cast<void*>(before.abortHandler),
           reinterpret_cast<void*>(after.abortHandler));
    Expect("error mode", before.errorMode, after.errorMode);
    Expect("thread error mode", before.threadErrorMode, after.threadErrorMode);
    Expect("C runtime locale", before.locale, after.locale);
    Expect("C runtime floating-point control", before.crtFloatControl, after.crtFloatControl);
    Expect("x87 control word", before.x87ControlWord, after.x87ControlWord);
    Expect("MXCSR", before.mxcsr, after.mxcsr);
    Expect("exception registration chain", before.exceptionChain, after.exceptionChain);
    Expect("threads", before.threads, after.threads);
}

LONG CALLBACK HostVectoredHandler(EXCEPTION_POINTERS* exception) {
    return exception->ExceptionRecord->ExceptionCode == 0xE0000042
               ? EXCEPTION_CONTINUE_EXECUTION
               : EXCEPTION_CONTINUE_SEARCH;
}

// A vectored handler the plugin left behind would run before the host's
// (added last) and jump into the unloaded module.
void ExpectOnlyHostVectoredHandlers() {
    void* handler = AddVectoredExceptionHandler(0, HostVectoredHandler);
    RaiseException(0xE0000042, 0, 0, nullptr);
    RemoveVectoredExceptionHandler(handler);
    std::puts("ok   a continuable exception after the unloads reaches the host's handler");
}

struct Host {
    std::string source;

    Host() : source(OwnFolder() + "Kestrel Band-Night Song.low") {
        WriteRegistryString("[artist]-[track]", kPatternValue, HKEY_CURRENT_USER, kSettingsKey);
        DeleteFileA(Log().c_str());  // left by a run that died
        std::ofstream(source, std::ios::binary) << "audio";
    }
    ~Host() {
        DeleteRegistryValue(kPatternValue, HKEY_CURRENT_USER, kSettingsKey);
        DeleteFileA(source.c_str());
        DeleteFileA(Log().c_str());
    }
    std::string Log() const { return source + ".calls"; }

    // Load, one conversion, unload.
    bool Cycle() const {
        LoadedPlugin plugin;
        if (!LoadPlugin(PluginDllPath().c_str(), plugin, nullptr)) return false;
        std::int32_t status = -1;
        void* object = plugin.createNewCompressionObject(source.c_str(), &status, 0);
        plugin.deleteCompressionObject(object);
        UnloadPlugin(plugin);
        return object != nullptr && status == 0;
    }

    // The tag writes logged since the last call.
    std::string TakeWrites() const {
        std::ifstream log(Log(), std::ios::binary);
        std::ostringstream writes;
        writes << log.rdbuf();
        log.close();
        DeleteFileA(Log().c_str());
        return writes.str();
    }
};

int RunCycles(int cycles) {
    std::signal(SIGABRT, AbortDuringCycles);
    Host host;
    const ProcessState before = TakeProcessState();
    long settledHandles = 0;
    long long settledPrivate = 0;
    DWORD settledTlsIndex = 0;
    long long settledHeapBlocks = 0;
    std::string firstWrites;
    const DWORD start = GetTickCount();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (cycle == cycles) host.TakeWrites();
        if (!host.Cycle()) {
            std::printf("FAIL cycle %d: the plugin did not load or convert\n", cycle);
            return 1;
        }
        if (cycle == 1) firstWrites = host.TakeWrites();
        if (cycle == kSettledCycle) {
            settledHandles = CountHandles();
            settledPrivate = CommittedPrivateBytes();
            settledTlsIndex = LowestFreeTlsIndex();
            settledHeapBlocks = CountHeapBlocks();
        }
    }
    const double seconds = (GetTickCount() - start) / 1000.0;
    const long handleGrowth = CountHandles() - settledHandles;
    const long long privateGrowth = CommittedPrivateBytes() - settledPrivate;
    const long long heapBlockGrowth = CountHeapBlocks() - settledHeapBlocks;
    std::printf("%d cycles in %.1f s; from cycle %d to the last: handles %+ld, "
                "committed private bytes %+lld, heap blocks %+lld\n",
                cycles, seconds, kSettledCycle, handleGrowth, privateGrowth, heapBlockGrowth);
    if (handleGrowth > kMaxHandleGrowth || privateGrowth > kMaxPrivateGrowth ||
        heapBlockGrowth > kMaxHeapBlockGrowth) {
        std::puts("FAIL growth over the bounds (16 handles, 4 MiB, 64 heap blocks)");
        ++failures;
    }
    const std::string lastWrites = host.TakeWrites();
    Expect("tag writes of the first and the last cycle", firstWrites, lastWrites);
    if (firstWrites.empty()) {
        std::puts("FAIL the first cycle wrote no tags");
        ++failures;
    }
    ExpectStateAsFound(before, TakeProcessState());
    // From the settled cycle on: the decoders stay loaded for the process,
    // and one built with a runtime that keeps a TLS index takes it once.
    Expect("lowest free TLS index from the settled cycle", settledTlsIndex,
           LowestFreeTlsIndex());
    Expect("SIGABRT handler is the host's",
           reinterpret_cast<void*>(&AbortDuringCycles),
           reinterpret_cast<void*>(CurrentAbortHandler()));
    ExpectOnlyHostVectoredHandlers();
    return failures == 0 ? 0 : 1;
}

int AbortAfterUnload() {
    std::signal(SIGABRT, HostAbortHandler);
    if (!Host().Cycle()) return 1;
    std::abort();
}

// A file for the ending decoder, whose value for the title says how it ends.
struct EndingFile {
    std::string path;
    explicit EndingFile(const char* how) : path(OwnFolder() + "Kestrel Band-" + how + ".end") {
        std::ofstream(path, std::ios::binary) << "audio";
    }
    ~EndingFile() {
        DeleteFileA(path.c_str());
        DeleteFileA((path + ".calls").c_str());
    }
};

bool Convert(const LoadedPlugin& plugin, const std::string& source) {
    std::int32_t status = -1;
    void* object = plugin.createNewCompressionObject(source.c_str(), &status, 0);
    plugin.deleteCompressionObject(object);
    return object != nullptr && status == 0;
}

int DecoderEndings() {
    Host host;
    LoadedPlugin plugin;
    if (!LoadPlugin(PluginDllPath().c_str(), plugin, nullptr)) return 1;
    for (const char* how : {"abort", "exit", "ExitProcess", "overflow", "overflow"}) {
        if (std::strcmp(how, "overflow") == 0 && !StackOverflowsReachHandlers()) {
            std::puts("skip no handler sees a stack overflow here");
            continue;
        }
        const EndingFile file(how);
        if (!Convert(plugin, file.path)) ++failures;
        std::printf("ok   the host lives on after a decoder's %s\n", how);
    }
    const bool converted = Convert(plugin, host.source);
    UnloadPlugin(plugin);
    const std::string writes = host.TakeWrites();
    Expect("the next file is tagged", true, converted && !writes.empty());
    return failures == 0 ? 0 : 1;
}

int AbortStorm() {
    constexpr int kThreads = 8;
    constexpr int kConversions = 250;
    Host host;
    const EndingFile file("abort");
    LoadedPlugin plugin;
    if (!LoadPlugin(PluginDllPath().c_str(), plugin, nullptr)) return 1;
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ready{0};
    std::atomic<int> converted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            ++ready;
            WaitForSingleObject(start, INFINITE);
            for (int i = 0; i < kConversions; ++i) converted += Convert(plugin, file.path);
        });
    }
    while (ready < kThreads) Sleep(0);
    SetEvent(start);
    for (auto& thread : threads) thread.join();
    CloseHandle(start);
    const bool tagged = Convert(plugin, host.source);
    UnloadPlugin(plugin);
    Expect("aborting conversions the host saw end", kThreads * kConversions, converted.load());
    Expect("the next file is tagged", true, tagged && !host.TakeWrites().empty());
    return failures == 0 ? 0 : 1;
}

int DecoderExitAfterUnload() {
    Host host;
    const EndingFile file("recorded");
    LoadedPlugin plugin;
    if (!LoadPlugin(PluginDllPath().c_str(), plugin, nullptr)) return 1;
    if (!Convert(plugin, file.path)) return 1;
    UnloadPlugin(plugin);
    HMODULE decoder = GetModuleHandleA((OwnFolder() + "Multiplayer\\Input\\Ending.dll").c_str());
    auto endByExit = reinterpret_cast<void(__cdecl*)(int)>(
        reinterpret_cast<void (*)()>(GetProcAddress(decoder, "EndByExit")));
    if (endByExit == nullptr) return 1;
    endByExit(9);
    return 1;
}

// Crash reporters log, then abort again, relying on the run-time to have put
// the default back before calling them.
HANDLE reporterStarted = nullptr;
HANDLE pluginUnloaded = nullptr;

extern "C" void __cdecl LogThenAbortAgain(int) {
    if (reporterStarted) {
        SetEvent(reporterStarted);
        WaitForSingleObject(pluginUnloaded, INFINITE);
    }
    std::puts("the host's crash reporter logged");
    std::fflush(stdout);
    std::abort();
}

int CrashReporter(const std::string& when) {
    std::signal(SIGABRT, LogThenAbortAgain);
    Host host;
    const EndingFile file("abort");
    LoadedPlugin plugin;
    if (!LoadPlugin(PluginDllPath().c_str(), plugin, nullptr)) return 1;
    if (!Convert(plugin, file.path)) return 1;
    if (when == "unloaded") UnloadPlugin(plugin);
    if (when != "unloading") std::abort();
    reporterStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    pluginUnloaded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread([] { std::abort(); }).detach();
    WaitForSingleObject(reporterStarted, INFINITE);
    UnloadPlugin(plugin);
    SetEvent(pluginUnloaded);
    Sleep(INFINITE);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "cycles" && argc == 3) return RunCycles(std::atoi(argv[2]));
    if (mode == "abort-after-unload") return AbortAfterUnload();
    if (mode == "decoder-endings") return DecoderEndings();
    if (mode == "abort-storm") return AbortStorm();
    if (mode == "crash-reporter") return CrashReporter(argc > 2 ? argv[2] : "");
    if (mode == "decoder-exit-after-unload") return DecoderExitAfterUnload();
    std::fputs("usage: reload_host cycles N | abort-after-unload | decoder-endings |\n"
               "       abort-storm | decoder-exit-after-unload |\n"
               "       crash-reporter [unloaded|unloading]\n", stderr);
    return 2;
}
