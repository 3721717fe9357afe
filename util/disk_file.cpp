#include "util/disk_file.h"

#include <emmintrin.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>

namespace {

constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr std::uint32_t kChecksumChunk = 65536;
constexpr std::uint32_t kMoveChunk = 32768;

MessageBoxFunction messageBox = MessageBoxA;

// A handle opened by name for one whole-file operation, closed on leaving.
class NamedFile {
public:
    NamedFile(const char* path, DWORD access, DWORD sharing, DWORD disposition)
        : handle_(CreateFileA(path, access, sharing, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~NamedFile() {
        if (IsOpen()) CloseHandle(handle_);
    }
    NamedFile(const NamedFile&) = delete;
    NamedFile& operator=(const NamedFile&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// Moves the file pointer with a 64-bit distance, so that positions beyond
// 2 GiB are reached rather than refused.
bool MovePointer(HANDLE file, std::int64_t distance, DWORD method) {
    LARGE_INTEGER move;
    move.QuadPart = distance;
    return SetFilePointerEx(file, move, nullptr, method) != 0;
}

bool ReadExactly(HANDLE file, void* buffer, std::uint32_t count) {
    DWORD moved = 0;
    return ReadFile(file, buffer, count, &moved, nullptr) && moved == count;
}

bool WriteExactly(HANDLE file, const void* buffer, std::uint32_t count) {
    DWORD moved = 0;
    return WriteFile(file, buffer, count, &moved, nullptr) && moved == count;
}

bool ReadByte(HANDLE file, char& byte) { return ReadExactly(file, &byte, 1); }

void PlaceForTransfer(HANDLE file, IoPosition position) {
    if (position == IoPosition::Start) MovePointer(file, 0, FILE_BEGIN);
    if (position == IoPosition::End) MovePointer(file, 0, FILE_END);
}

bool PlaceAt(HANDLE file, std::int32_t position) {
    if (position == kAtCurrentPointer) return true;
    if (position == kAtEndOfFile) return MovePointer(file, 0, FILE_END);
    return position >= 0 && MovePointer(file, position, FILE_BEGIN);
}

constexpr std::uint32_t kVectorBlock = 64;

// Wrapping addition does not depend on the order of the words, so four
// 16-byte lanes summed side by side give the word-by-word sum. x86 is
// little-endian, as the sum's words are. Reading at the read floor's pace
// needs this: one word at a time costs twice the read itself.
__attribute__((target("sse2"))) std::uint32_t SumOfVectorBlocks(const unsigned char* bytes,
                                                                std::uint32_t count) {
    __m128i a = _mm_setzero_si128(), b = a, c = a, d = a;
    for (std::uint32_t i = 0; i < count; i += kVectorBlock) {
        const auto* block = reinterpret_cast<const __m128i*>(bytes + i);
        a = _mm_add_epi32(a, _mm_loadu_si128(block));
        b = _mm_add_epi32(b, _mm_loadu_si128(block + 1));
        c = _mm_add_epi32(c, _mm_loadu_si128(block + 2));
        d = _mm_add_epi32(d, _mm_loadu_si128(block + 3));
    }
    a = _mm_add_epi32(_mm_add_epi32(a, b), _mm_add_epi32(c, d));
    a = _mm_add_epi32(a, _mm_shuffle_epi32(a, _MM_SHUFFLE(1, 0, 3, 2)));
    a = _mm_add_epi32(a, _mm_shuffle_epi32(a, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(a));
}

// The processors this DLL may still meet without SSE2 take the word loop.
bool HasSse2() {
    static const bool has = __builtin_cpu_supports("sse2");
    return has;
}

// Adds the complete little-endian words of bytes, then its 1 to 3 left-over
// bytes one by one.
std::uint32_t SumOfWords(const unsigned char* bytes, std::uint32_t count,
                         std::uint32_t sum) {
    std::uint32_t i = 0;
    if (HasSse2()) {
        i = count - count % kVectorBlock;
        sum += SumOfVectorBlocks(bytes, i);
    }
    for (; i + 4 <= count; i += 4) {
        sum += bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
               static_cast<std::uint32_t>(bytes[i + 3]) << 24;
    }
    for (; i < count; ++i) sum += bytes[i];
    return sum;
}

bool CopyBlock(HANDLE file, char* buffer, std::uint32_t count, std::int64_t from,
               std::int64_t to) {
    return MovePointer(file, from, FILE_BEGIN) && ReadExactly(file, buffer, count) &&
           MovePointer(file, to, FILE_BEGIN) && WriteExactly(file, buffer, count);
}

// Back to front, so that the moved bytes never overwrite unread ones.
void OpenGap(HANDLE file, char* buffer, std::int64_t size, std::int64_t offset,
             std::int64_t delta) {
    for (std::int64_t end = size; end > offset;) {
        const auto n = static_cast<std::uint32_t>(std::min<std::int64_t>(end - offset, kMoveChunk));
        end -= n;
        if (!CopyBlock(file, buffer, n, end, end + delta)) return;
    }
}

// Front to back, for the same reason; the file is shortened only when
// every block arrived.
void CloseGap(HANDLE file, char* buffer, std::int64_t size, std::int64_t offset,
              std::int64_t delta) {
    for (std::int64_t start = offset; start < size;) {
        const auto n = static_cast<std::uint32_t>(std::min<std::int64_t>(size - start, kMoveChunk));
        if (!CopyBlock(file, buffer, n, start, start + delta)) return;
        start += n;
    }
    if (MovePointer(file, size + delta, FILE_BEGIN)) SetEndOfFile(file);
}

std::uint64_t ToUint64(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

MessageBoxFunction ReplaceDiskFileMessageBox(MessageBoxFunction replacement) {
    return std::exchange(messageBox, replacement);
}

DiskFile::DiskFile(const char* path, DWORD desiredAccess, DWORD creationDisposition,
                   bool showErrors, bool shared)
    : showErrors_(showErrors) {
    // Only shown in messages: the file itself is opened by the whole path.
    name_.AssignOrCut(path);
    const HANDLE file = CreateFileA(path, desiredAccess, shared ? kShareReadWrite : 0,
                                    nullptr, creationDisposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        handle_ = file;
        return;
    }
    const bool writing = (desiredAccess & GENERIC_WRITE) != 0;
    ShowFailure("Unable to open '", path, writing ? "Disk Write Error" : "Disk Read Error");
}

void DiskFile::Close() {
    if (handle_ == nullptr) return;
    CloseHandle(handle_);
    handle_ = nullptr;
}

void DiskFile::ShowFailure(const char* prefix, const char* path,
                           const char* caption) const {
    if (!showErrors_) return;
    const std::string message = std::string(prefix) + (path ? path : "") + "'";
    messageBox(nullptr, message.c_str(), caption, MB_ICONINFORMATION);
}

// A short read that the platform reports as a success is the end of the
// file, whatever an earlier call left in the last-error code.
std::uint32_t DiskFile::Read(void* buffer, std::uint32_t count, IoPosition position,
                             bool* failed) {
    if (failed) *failed = !IsOpen();
    if (!IsOpen()) return 0;
    PlaceForTransfer(handle_, position);
    DWORD moved = 0;
    if (ReadFile(handle_, buffer, count, &moved, nullptr)) return moved;
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS || error == ERROR_HANDLE_EOF) return moved;
    if (failed) *failed = true;
    ShowFailure("Unable to read from '", name_.CStr(), "Disk Read Error");
    return moved;
}

bool DiskFile::Write(const void* buffer, std::uint32_t count, IoPosition position) {
    if (!IsOpen()) return false;
    PlaceForTransfer(handle_, position);
    if (WriteExactly(handle_, buffer, count)) return true;
    ShowFailure("Unable to write to '", name_.CStr(), "Disk Write Error");
    return false;
}

void DiskFile::Seek(std::int32_t distance, DWORD method) {
    if (IsOpen()) MovePointer(handle_, distance, method);
}

std::uint64_t DiskFile::QueryFileSize(bool* failed) const {
    return IsOpen() ? ::QueryFileSize(handle_, failed) : 0;
}

std::uint32_t DiskFile::FileChecksum() const {
    return IsOpen() ? ::FileChecksum(handle_) : 0;
}

void DiskFile::MoveFileTail(std::uint32_t offset, std::int32_t delta) const {
    if (IsOpen()) ::MoveFileTail(handle_, offset, delta);
}

void DiskFile::SetFileLength(std::int32_t length) const {
    if (IsOpen()) ::SetFileLength(handle_, length);
}

bool DiskFile::ReadTextLine(char* buffer, std::uint32_t maxChars) const {
    if (IsOpen()) return ::ReadTextLine(handle_, buffer, maxChars);
    buffer[0] = '\0';
    return false;
}

bool DiskFile::QueryFileTimes(std::uint64_t* creation, std::uint64_t* lastAccess,
                              std::uint64_t* lastWrite) const {
    return IsOpen() && ::QueryFileTimes(handle_, creation, lastAccess, lastWrite);
}

// A low half of 0xFFFFFFFF is a failure only with a last-error code set by
// this call, so the code is cleared first.
std::uint64_t QueryFileSize(HANDLE file, bool* failed) {
    if (failed) *failed = false;
    DWORD high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        if (failed) *failed = true;
        return 0;
    }
    return static_cast<std::uint64_t>(high) << 32 | low;
}

std::uint64_t QueryFileSizeByName(const char* path, bool* failed) {
    const NamedFile file(path, 0, kShareReadWrite, OPEN_EXISTING);
    if (file.IsOpen()) return QueryFileSize(file.Get(), failed);
    if (failed) *failed = true;
    return 0;
}

std::uint32_t FileChecksum(HANDLE file) {
    // A size that cannot be queried is a failure, not an empty file.
    bool failed = false;
    std::uint64_t remaining = QueryFileSize(file, &failed);
    if (failed) return 0;
    const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(remaining, kChecksumChunk));
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[chunk]);
    if (!buffer) return 0;
    std::uint32_t sum = 0;
    while (remaining != 0) {
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(remaining, chunk));
        if (!ReadExactly(file, buffer.get(), n)) return 0;
        remaining -= n;
        sum = SumOfWords(buffer.get(), n, sum);
    }
    return sum == 0 ? 1 : sum;
}

std::uint32_t FileChecksumByName(const char* path) {
    const NamedFile file(path, GENERIC_READ, kShareReadWrite, OPEN_EXISTING);
    return file.IsOpen() ? FileChecksum(file.Get()) : 0;
}

// The full 64-bit size is used: a file beyond 4 GiB would otherwise have
// the wrong bytes moved and be cut far below its size.
void MoveFileTail(HANDLE file, std::uint32_t offset, std::int32_t delta) {
    const auto size = static_cast<std::int64_t>(QueryFileSize(file));
    if (delta >= 0 && offset >= size) return;
    if (delta < 0 && -std::int64_t{delta} > offset) return;
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kMoveChunk]);
    if (!buffer) return;
    if (delta >= 0) {
        OpenGap(file, buffer.get(), size, offset, delta);
    } else {
        CloseGap(file, buffer.get(), size, std::min<std::int64_t>(offset, size), delta);
    }
}

void MoveFileTailByName(const char* path, std::uint32_t offset, std::int32_t delta) {
    const NamedFile file(path, GENERIC_READ | GENERIC_WRITE, kShareReadWrite, OPEN_EXISTING);
    if (file.IsOpen()) MoveFileTail(file.Get(), offset, delta);
}

void SetFileLength(HANDLE file, std::int32_t length) {
    if (length >= 0 && MovePointer(file, length, FILE_BEGIN)) SetEndOfFile(file);
}

void SetFileLengthByName(const char* path, std::int32_t length) {
    const NamedFile file(path, GENERIC_WRITE, kShareReadWrite, OPEN_EXISTING);
    if (file.IsOpen()) SetFileLength(file.Get(), length);
}

// The byte after a carriage return is read to see whether it is the line
// feed of a CR LF pair; any other byte is given back by stepping the
// pointer back over it, so the next line starts with it.
bool ReadTextLine(HANDLE file, char* buffer, std::uint32_t maxChars) {
    std::uint32_t stored = 0;
    bool lineEnded = maxChars == 0;
    char byte = 0;
    while (!lineEnded && stored < maxChars) {
        if (!ReadByte(file, byte)) break;
        if (byte == '\r') {
            char next = 0;
            if (ReadByte(file, next) && next != '\n') MovePointer(file, -1, FILE_CURRENT);
        }
        lineEnded = byte == '\r' || byte == '\n';
        if (!lineEnded) buffer[stored++] = byte;
    }
    buffer[stored] = '\0';
    return lineEnded || stored > 0;
}

bool ReadFirstLineByName(const char* path, char* buffer, std::uint32_t maxChars) {
    const NamedFile file(path, GENERIC_READ, kShareReadWrite, OPEN_EXISTING);
    return file.IsOpen() && ReadTextLine(file.Get(), buffer, maxChars);
}

bool ReadFileAt(const char* path, HANDLE file, void* buffer, std::uint32_t count,
                std::int32_t position) {
    if (path && path[0] != '\0') {
        const NamedFile named(path, GENERIC_READ, kShareReadWrite, OPEN_EXISTING);
        return named.IsOpen() && ReadFileAt(nullptr, named.Get(), buffer, count, position);
    }
    return PlaceAt(file, position) && ReadExactly(file, buffer, count);
}

bool WriteFileAt(const char* path, HANDLE file, const void* buffer,
                 std::uint32_t count, std::int32_t position) {
    if (path && path[0] != '\0') {
        const NamedFile named(path, GENERIC_WRITE, 0, OPEN_ALWAYS);
        return named.IsOpen() && WriteFileAt(nullptr, named.Get(), buffer, count, position);
    }
    return PlaceAt(file, position) && WriteExactly(file, buffer, count);
}

bool QueryFileTimes(HANDLE file, std::uint64_t* creation, std::uint64_t* lastAccess,
                    std::uint64_t* lastWrite) {
    FILETIME created, accessed, written;
    if (!GetFileTime(file, &created, &accessed, &written)) return false;
    if (creation) *creation = ToUint64(created);
    if (lastAccess) *lastAccess = ToUint64(accessed);
    if (lastWrite) *lastWrite = ToUint64(written);
    return true;
}

bool QueryFileTimesByName(const char* path, std::uint64_t* creation,
                          std::uint64_t* lastAccess, std::uint64_t* lastWrite) {
    const NamedFile file(path, 0, kShareReadWrite, OPEN_EXISTING);
    return file.IsOpen() && QueryFileTimes(file.Get(), creation, lastAccess, lastWrite);
}
