// file_ops_timing FILE COPY REPETITIONS
//
// Whole-file operations on FILE against the least the same transfers cost:
// FileChecksum against the same 65,536-byte ReadFile loop without summing,
// and MoveFileTail (a gap opened near the start, then closed again, so the
// file ends as it began) against a plain 32,768-byte loop copying FILE over
// COPY, a file of the same size. The order of the four changes from one
// repetition to the next. Prints one "name seconds" line per measurement.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/win32/stopwatch.h"
#include "util/disk_file.h"

namespace {

constexpr std::uint32_t kReadChunk = 65536;
constexpr std::uint32_t kCopyChunk = 32768;
constexpr std::uint32_t kGapOffset = 4096;
constexpr std::int32_t kGap = 4096;

struct Files {
    const char* original;
    const char* copy;
};

HANDLE Open(const char* path, DWORD access) {
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads count bytes in chunks into buffer and, when out is open, writes
// each chunk there. False on any short transfer.
bool Transfer(HANDLE in, HANDLE out, char* buffer, std::uint64_t count, std::uint32_t chunk) {
    for (std::uint64_t left = count; left != 0;) {
        const auto n = static_cast<DWORD>(left < chunk ? left : chunk);
        DWORD moved = 0;
        if (!ReadFile(in, buffer, n, &moved, nullptr) || moved != n) return false;
        if (out != INVALID_HANDLE_VALUE &&
            (!WriteFile(out, buffer, n, &moved, nullptr) || moved != n)) {
            return false;
        }
        left -= n;
    }
    return true;
}

// The timed part of each measurement is the call on open handles.
double TimeReadFloor(const Files& files) {
    const HANDLE in = Open(files.original, GENERIC_READ);
    const std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    const double start = SecondsNow();
    const bool ok = Transfer(in, INVALID_HANDLE_VALUE, buffer.get(), QueryFileSize(in), kReadChunk);
    const double seconds = SecondsNow() - start;
    CloseHandle(in);
    return ok ? seconds : -1;
}

double TimeChecksum(const Files& files) {
    const HANDLE in = Open(files.original, GENERIC_READ);
    const double start = SecondsNow();
    const std::uint32_t sum = FileChecksum(in);
    const double seconds = SecondsNow() - start;
    CloseHandle(in);
    return sum != 0 ? seconds : -1;
}

double TimeCopyLoop(const Files& files) {
    const HANDLE in = Open(files.original, GENERIC_READ);
    const HANDLE out = Open(files.copy, GENERIC_WRITE);
    const std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
    const double start = SecondsNow();
    const bool ok = out != INVALID_HANDLE_VALUE &&
                    Transfer(in, out, buffer.get(), QueryFileSize(in), kCopyChunk);
    const double seconds = SecondsNow() - start;
    CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    return ok ? seconds : -1;
}

double TimeMoveTail(const Files& files, std::uint32_t offset, std::int32_t delta) {
    const HANDLE file = Open(files.original, GENERIC_READ | GENERIC_WRITE);
    const double start = SecondsNow();
    MoveFileTail(file, offset, delta);
    const double seconds = SecondsNow() - start;
    CloseHandle(file);
    return seconds;
}

void RunOne(int which, const Files& files) {
    switch (which) {
        case 0: std::printf("read_floor %.6f\n", TimeReadFloor(files)); break;
        case 1: std::printf("checksum %.6f\n", TimeChecksum(files)); break;
        case 2: std::printf("copy_loop %.6f\n", TimeCopyLoop(files)); break;
        default:
            std::printf("move_tail_open %.6f\n", TimeMoveTail(files, kGapOffset, kGap));
            std::printf("move_tail_close %.6f\n", TimeMoveTail(files, kGapOffset + kGap, -kGap));
            break;
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc == 4 ? std::atoi(argv[3]) : 0;
    if (repetitions <= 0) {
        std::fputs("usage: file_ops_timing FILE COPY REPETITIONS\n", stderr);
        return 2;
    }
    const Files files{argv[1], argv[2]};
    constexpr int kMeasurements = 4;
    for (int r = 0; r < repetitions; ++r) {
        for (int i = 0; i < kMeasurements; ++i) RunOne((r + i) % kMeasurements, files);
    }
    return 0;
}
