// hold_file [--load] PATH: opens PATH with no sharing (with --load: loads it
// as a library, as the host loads its plugins), says "held", and keeps it
// until its standard input ends, so that a test can try to write a file that
// another process holds.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void WaitForEndOfInput() {
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) {
        HMODULE library = LoadLibraryA(argv[2]);
        if (!library) return 1;
        WaitForEndOfInput();
        FreeLibrary(library);
        return 0;
    }
    if (argc != 2) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    WaitForEndOfInput();
    CloseHandle(file);
    return 0;
}
