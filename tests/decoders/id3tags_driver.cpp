// Drives a tag-writing decoder plugin from the command line, as the host
// would call it:
//   id3tags-driver PLUGIN set FILE FIELD VALUE
//   id3tags-driver PLUGIN get FILE     (prints what GetTrackInfo answers)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "decoders/decoder_plugin.h"

namespace {

template <typename Function>
Function EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

int Get(HMODULE module, const char* path) {
    auto getTrackInfo = EntryPoint<GetTrackInfoFunction>(module, "GetTrackInfo");
    if (!getTrackInfo) return 2;
    std::int32_t n[7] = {};
    char first[100] = "", second[100] = "", third[100] = "", reply[260] = "";
    getTrackInfo(path, &n[0], &n[1], &n[2], &n[3], &n[4], first, second, third, &n[5], &n[6],
                 reply);
    std::printf("first=%s\nsecond=%s\nthird=%s\nreply=%s\n", first, second, third, reply);
    for (int i = 0; i < 7; ++i) std::printf("n%d=%d\n", i, int(n[i]));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) return 3;
    if (std::strcmp(argv[2], "get") == 0) return Get(module, argv[3]);
    auto setTag = EntryPoint<SetIDTagElementFunction>(module, "SetIDTagElement");
    if (std::strcmp(argv[2], "set") != 0 || argc != 6 || !setTag) return 2;
    setTag(argv[3], argv[4], argv[5]);
    return 0;
}
