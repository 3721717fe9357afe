// Files through the platform's handle-based calls: DiskFile, a file object
// that can tell the user in a message box when opening, reading or writing
// fails, and whole-file operations in three forms (on a handle, on a name,
// and as DiskFile methods on the object's handle). Only DiskFile's open,
// read and write ever show anything; the rest report through their results.
#pragma once

#include <windows.h>

#include <cstdint>

#include "util/fixed_text.h"

// Where DiskFile's Read and Write start. Unlike Seek's move methods, 1 means
// the end; any value other than Start and End leaves the pointer alone.
enum class IoPosition : std::int32_t { Start = 0, End = 1, Current = 2 };

// Positions of ReadFileAt and WriteFileAt besides absolute offsets.
constexpr std::int32_t kAtCurrentPointer = -1;
constexpr std::int32_t kAtEndOfFile = -2;

// The box that DiskFile shows its failures in: MessageBoxA unless replaced.
// Returns the function that was in use.
using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
MessageBoxFunction ReplaceDiskFileMessageBox(MessageBoxFunction replacement);

class DiskFile {
public:
    // Opens path; a failed open leaves the object closed for good. shared
    // allows others to read and write meanwhile.
    DiskFile(const char* path, DWORD desiredAccess, DWORD creationDisposition,
             bool showErrors, bool shared);
    ~DiskFile() { Close(); }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    HANDLE GetHandle() const { return handle_; }
    const char* Name() const { return name_.CStr(); }

    // Bytes read; fewer than count at the end of the file, which is no
    // failure. failed tells a read failure (or a closed file) apart.
    std::uint32_t Read(void* buffer, std::uint32_t count, IoPosition position,
                       bool* failed = nullptr);
    // True when all count bytes were written.
    bool Write(const void* buffer, std::uint32_t count, IoPosition position);
    // method: FILE_BEGIN, FILE_CURRENT or FILE_END.
    void Seek(std::int32_t distance, DWORD method);

    // The whole-file operations below on this file's handle; a closed file
    // gives 0, false or an empty line and leaves failed unwritten.
    std::uint64_t QueryFileSize(bool* failed = nullptr) const;
    std::uint32_t FileChecksum() const;
    void MoveFileTail(std::uint32_t offset, std::int32_t delta) const;
    void SetFileLength(std::int32_t length) const;
    bool ReadTextLine(char* buffer, std::uint32_t maxChars) const;
    bool QueryFileTimes(std::uint64_t* creation, std::uint64_t* lastAccess,
                        std::uint64_t* lastWrite) const;

private:
    void ShowFailure(const char* prefix, const char* path, const char* caption) const;

    HANDLE handle_ = nullptr;
    PathText name_;
    bool showErrors_;
};

// 64-bit size. failed is set when the size cannot be queried (result 0).
std::uint64_t QueryFileSize(HANDLE file, bool* failed = nullptr);
std::uint64_t QueryFileSizeByName(const char* path, bool* failed = nullptr);

// Wrapping sum of the little-endian 32-bit words from the current pointer
// to the end, plus the final 1 to 3 bytes one by one. 0 means failure (also
// a size that cannot be queried), so a sum of 0 is given as 1. Reads 64 KiB
// at a time.
std::uint32_t FileChecksum(HANDLE file);
std::uint32_t FileChecksumByName(const char* path);

// Moves the bytes from offset to the end of the file by delta: a positive
// delta opens a gap at offset (its old bytes stay for the caller to fill),
// a negative one closes up the -delta bytes just before offset and shortens
// the file. Nothing happens when offset lies at or beyond the end with a
// positive delta, or when -delta exceeds offset. A move that meets a failing
// read or write stops there, and the file is not shortened.
void MoveFileTail(HANDLE file, std::uint32_t offset, std::int32_t delta);
void MoveFileTailByName(const char* path, std::uint32_t offset, std::int32_t delta);

// Cuts or extends the file to length bytes; a negative length is refused.
void SetFileLength(HANDLE file, std::int32_t length);
void SetFileLengthByName(const char* path, std::int32_t length);

// Reads one line, at most maxChars characters, into buffer (maxChars + 1
// bytes), one byte per call so the pointer ends right after what was used.
// A line ends at LF, CR LF or a lone CR; the line-end bytes are not stored.
// False only at the end of the file with nothing read. A line longer than
// maxChars comes back in pieces.
bool ReadTextLine(HANDLE file, char* buffer, std::uint32_t maxChars);
// False with the buffer untouched when the file cannot be opened.
bool ReadFirstLineByName(const char* path, char* buffer, std::uint32_t maxChars);

// Exactly count bytes at position (an offset, kAtCurrentPointer or
// kAtEndOfFile), on path when it is given and not empty (opened and closed
// here; writing creates a missing file and never truncates), otherwise on
// file, which stays open.
bool ReadFileAt(const char* path, HANDLE file, void* buffer, std::uint32_t count,
                std::int32_t position);
bool WriteFileAt(const char* path, HANDLE file, const void* buffer,
                 std::uint32_t count, std::int32_t position);

// Creation, last-access and last-write times as 100 ns units since 1601
// (UTC); null out-pointers are skipped. Nothing is written on failure.
bool QueryFileTimes(HANDLE file, std::uint64_t* creation, std::uint64_t* lastAccess,
                    std::uint64_t* lastWrite);
bool QueryFileTimesByName(const char* path, std::uint64_t* creation,
                          std::uint64_t* lastAccess, std::uint64_t* lastWrite);
