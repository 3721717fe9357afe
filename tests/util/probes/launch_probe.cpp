// A program for launch tests: waits until the named event is set (when one
// is given), then creates the marker file and exits.
//   launch_probe MARKER [EVENT]
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (argc > 2) {
        const HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
        if (go == nullptr) return 3;
        WaitForSingleObject(go, INFINITE);
        CloseHandle(go);
    }
    const HANDLE marker = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return 4;
    CloseHandle(marker);
    return 0;
}
