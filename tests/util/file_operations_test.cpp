#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"
#include "util/disk_file.h"

namespace {

constexpr std::uint64_t k4GiB = 1ull << 32;

std::string Numbered(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i);
    return bytes;
}

HANDLE OpenHandle(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file of size bytes that holds no data blocks but the few written.
std::string MakeSparse(const ScratchFolder& folder, const char* name, std::uint64_t size) {
    const std::string path = folder.Write(name, "");
    const HANDLE file = OpenHandle(path, GENERIC_WRITE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    return path;
}

void WriteAt(const std::string& path, std::uint64_t offset, const std::string& bytes) {
    const HANDLE file = OpenHandle(path, GENERIC_WRITE);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadAt(const std::string& path, std::uint64_t offset, std::uint32_t count) {
    std::string bytes(count, '\0');
    const HANDLE file = OpenHandle(path, GENERIC_READ);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    DWORD read = 0;
    ReadFile(file, bytes.data(), count, &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

class FileOperations : public testing::Test {
protected:
    ScratchFolder folder_;
};

TEST_F(FileOperations, SizesBeyondFourGiBUseBothHalves) {
    const std::string exact = MakeSparse(folder_, "exact.bin", k4GiB);
    bool failed = true;
    EXPECT_EQ(QueryFileSizeByName(exact.c_str(), &failed), k4GiB);
    EXPECT_FALSE(failed);
    const std::string lowAllOnes = MakeSparse(folder_, "ones.bin", k4GiB + 0xFFFFFFFFull);
    const HANDLE file = OpenHandle(lowAllOnes, GENERIC_READ);
    SetLastError(ERROR_ACCESS_DENIED);  // stale code from an unrelated call
    failed = true;
    EXPECT_EQ(QueryFileSize(file, &failed), k4GiB + 0xFFFFFFFFull);
    EXPECT_FALSE(failed) << "a low half of all ones is a genuine size";
    CloseHandle(file);

    failed = false;
    EXPECT_EQ(QueryFileSizeByName(folder_.Path("none").c_str(), &failed), 0u);
    EXPECT_TRUE(failed);
    EXPECT_EQ(QueryFileSize(INVALID_HANDLE_VALUE, &failed), 0u);
    EXPECT_TRUE(failed);
}

TEST_F(FileOperations, ChecksumAddsLittleEndianWordsThenBytes) {
    EXPECT_EQ(FileChecksumByName(folder_.Write("abc", "abc").c_str()), 0x126u);
    EXPECT_EQ(FileChecksumByName(folder_.Write("abcd", "abcd").c_str()), 0x64636261u);
    EXPECT_EQ(FileChecksumByName(folder_.Write("abcde", "abcde").c_str()), 0x64636261u + 'e');
    EXPECT_EQ(FileChecksumByName(folder_.Write("empty", "").c_str()), 1u);
    EXPECT_EQ(FileChecksumByName(folder_.Write("zeros", std::string(4, '\0')).c_str()), 1u);
    EXPECT_EQ(FileChecksumByName(folder_.Path("none").c_str()), 0u);

    const std::string wraps = folder_.Write("wraps", std::string(8, '\xFF'));
    EXPECT_EQ(FileChecksumByName(wraps.c_str()), 0xFFFFFFFEu);
    // Across several 64 KiB chunks, with an odd tail.
    std::string big(3 * 65536 + 3, '\0');
    std::uint32_t expected = 0;
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    for (std::size_t i = 0; i + 4 <= big.size(); i += 4)
        expected += static_cast<unsigned char>(big[i]) |
                    static_cast<unsigned char>(big[i + 1]) << 8 |
                    static_cast<unsigned char>(big[i + 2]) << 16 |
                    static_cast<std::uint32_t>(static_cast<unsigned char>(big[i + 3])) << 24;
    for (std::size_t i = big.size() - 3; i < big.size(); ++i)
        expected += static_cast<unsigned char>(big[i]);
    EXPECT_EQ(FileChecksumByName(folder_.Write("big", big).c_str()), expected);
}

TEST_F(FileOperations, ChecksumAddsTheWordsLeftAfterWholeSixtyFourByteBlocks) {
    // 64 + 36 + 3 bytes: a whole block, nine words after it, an odd tail.
    std::string bytes(103, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i + 1);
    std::uint32_t expected = 0;
    for (std::size_t i = 0; i + 4 <= 100; i += 4)
        expected += (i + 1) | (i + 2) << 8 | (i + 3) << 16 | (i + 4) << 24;
    expected += 101 + 102 + 103;
    EXPECT_EQ(FileChecksumByName(folder_.Write("blocks", bytes).c_str()), expected);
}

TEST_F(FileOperations, ChecksumStartsAtTheCurrentPointerAndFailsOnShortReads) {
    const std::string path = folder_.Write("abcdabcd", "abcdabcd");
    const HANDLE file = OpenHandle(path, GENERIC_READ);
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    EXPECT_EQ(FileChecksum(file), 0u) << "eight bytes asked for, four left";
    CloseHandle(file);
    const HANDLE writeOnly = OpenHandle(path, GENERIC_WRITE);
    EXPECT_EQ(FileChecksum(writeOnly), 0u);
    CloseHandle(writeOnly);
    // A size that cannot be queried is a failure, not an empty file.
    EXPECT_EQ(FileChecksum(INVALID_HANDLE_VALUE), 0u);
    EXPECT_EQ(FileChecksum(nullptr), 0u);
    const HANDLE empty = OpenHandle(folder_.Write("empty", ""), GENERIC_READ);
    EXPECT_EQ(FileChecksum(empty), 1u);
    CloseHandle(empty);
}

TEST_F(FileOperations, ChecksumReadsAFileBeyondFourGiB) {
    const std::string path = MakeSparse(folder_, "huge.bin", k4GiB + 8);
    WriteAt(path, 16, "\x01\x00\x00\x00");
    WriteAt(path, k4GiB + 4, "\x02\x00\x00\x00");
    EXPECT_EQ(FileChecksumByName(path.c_str()), 3u);
}

TEST_F(FileOperations, MoveFileTailOpensAndClosesGaps) {
    const std::string original = Numbered(100);
    const std::string grow = folder_.Write("grow", original);
    MoveFileTailByName(grow.c_str(), 10, 5);
    EXPECT_EQ(folder_.Read("grow"), original.substr(0, 15) + original.substr(10));

    const std::string shrink = folder_.Write("shrink", original);
    MoveFileTailByName(shrink.c_str(), 10, -4);
    EXPECT_EQ(folder_.Read("shrink"), original.substr(0, 6) + original.substr(10));

    const std::string atEnd = folder_.Write("atEnd", original);
    MoveFileTailByName(atEnd.c_str(), 100, 5);
    EXPECT_EQ(folder_.Read("atEnd"), original);
    MoveFileTailByName(atEnd.c_str(), 100, -10);
    EXPECT_EQ(folder_.Read("atEnd"), original.substr(0, 90));

    const std::string tooFar = folder_.Write("tooFar", original);
    MoveFileTailByName(tooFar.c_str(), 3, -4);
    EXPECT_EQ(folder_.Read("tooFar"), original) << "closing more than lies before offset";
}

TEST_F(FileOperations, MoveFileTailCopiesInBlocksWithoutOverwritingUnreadData) {
    std::string original(100000, '\0');
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<char>(i % 251);
    folder_.Write("grow", original);
    MoveFileTailByName(folder_.Path("grow").c_str(), 1000, 40000);
    EXPECT_EQ(folder_.Read("grow"), original.substr(0, 41000) + original.substr(1000));
    folder_.Write("shrink", original);
    MoveFileTailByName(folder_.Path("shrink").c_str(), 50000, -40000);
    EXPECT_EQ(folder_.Read("shrink"), original.substr(0, 10000) + original.substr(50000));
}

TEST_F(FileOperations, MoveFileTailWorksOnAFileBeyondFourGiB) {
    const std::uint64_t size = k4GiB + 100;
    const std::string path = MakeSparse(folder_, "huge.bin", size);
    const std::uint32_t offset = 0xFFFFFF00u;
    WriteAt(path, offset - 4, "gapXtail");
    WriteAt(path, size - 4, "last");
    MoveFileTailByName(path.c_str(), offset, -4);
    EXPECT_EQ(QueryFileSizeByName(path.c_str()), size - 4);
    EXPECT_EQ(ReadAt(path, offset - 4, 4), "tail");
    EXPECT_EQ(ReadAt(path, size - 8, 4), "last");
    MoveFileTailByName(path.c_str(), offset - 4, 2);
    EXPECT_EQ(QueryFileSizeByName(path.c_str()), size - 2);
    EXPECT_EQ(ReadAt(path, offset - 2, 4), "tail");
    EXPECT_EQ(ReadAt(path, size - 6, 4), "last");
}

TEST_F(FileOperations, MoveFileTailThatCannotReadChangesNothing) {
    const std::string original = Numbered(100);
    const std::string path = folder_.Write("data", original);
    const HANDLE writeOnly = OpenHandle(path, GENERIC_WRITE);
    MoveFileTail(writeOnly, 10, 5);
    MoveFileTail(writeOnly, 10, -5);
    CloseHandle(writeOnly);
    EXPECT_EQ(folder_.Read("data"), original);
}

TEST_F(FileOperations, SetFileLengthCutsExtendsAndRefusesNegativeLengths) {
    const std::string path = folder_.Write("data", "abcdef");
    SetFileLengthByName(path.c_str(), 3);
    EXPECT_EQ(folder_.Read("data"), "abc");
    SetFileLengthByName(path.c_str(), 5);
    EXPECT_EQ(folder_.Read("data"), std::string("abc\0\0", 5));
    const HANDLE file = OpenHandle(path, GENERIC_WRITE);
    SetFilePointer(file, 1, nullptr, FILE_BEGIN);
    SetFileLength(file, -1);
    CloseHandle(file);
    EXPECT_EQ(QueryFileSizeByName(path.c_str()), 5u) << "no cut at the current pointer";
    SetFileLengthByName(folder_.Path("none").c_str(), 3);
    EXPECT_EQ(folder_.Read("none"), "<missing>");
}

// Reads lines of up to maxChars from bytes until ReadTextLine answers false.
std::string Lines(const ScratchFolder& folder, const std::string& bytes,
                  std::uint32_t maxChars) {
    const HANDLE file = OpenHandle(folder.Write("lines", bytes), GENERIC_READ);
    std::string result;
    char buffer[16];
    while (ReadTextLine(file, buffer, maxChars)) result += std::string("[") + buffer + "]";
    result += std::string("end:") + buffer;
    CloseHandle(file);
    return result;
}

TEST_F(FileOperations, ReadTextLineSplitsAtEveryLineEnd) {
    EXPECT_EQ(Lines(folder_, "ab\r\ncd", 10), "[ab][cd]end:");
    EXPECT_EQ(Lines(folder_, "abcd\n", 2), "[ab][cd][]end:");
    EXPECT_EQ(Lines(folder_, "\n\nx", 10), "[][][x]end:");
    EXPECT_EQ(Lines(folder_, "", 10), "end:");
    EXPECT_EQ(Lines(folder_, "a\rb", 10), "[a][b]end:") << "the byte after a lone CR is kept";
    EXPECT_EQ(Lines(folder_, "a\r\rb\r", 10), "[a][][b]end:");
    EXPECT_EQ(Lines(folder_, "a\n\rb", 10), "[a][][b]end:");
}

TEST_F(FileOperations, ReadTextLineLeavesThePointerAfterTheLine) {
    const HANDLE file = OpenHandle(folder_.Write("lines", "one\r\ntwo"), GENERIC_READ);
    char buffer[8] = "x";
    EXPECT_TRUE(ReadTextLine(file, buffer, 0));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(ReadTextLine(file, buffer, 7));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 5u);
    CloseHandle(file);

    char first[8] = "kept";
    EXPECT_FALSE(ReadFirstLineByName(folder_.Path("none").c_str(), first, 7));
    EXPECT_STREQ(first, "kept");
    EXPECT_TRUE(ReadFirstLineByName(folder_.Path("lines").c_str(), first, 7));
    EXPECT_STREQ(first, "one");
}

TEST_F(FileOperations, ReadAndWriteAtPositionsByNameOrHandle) {
    const std::string path = folder_.Path("created");
    EXPECT_TRUE(WriteFileAt(path.c_str(), nullptr, "hello", 5, 0));
    EXPECT_TRUE(WriteFileAt(path.c_str(), nullptr, "J", 1, 0));
    EXPECT_TRUE(WriteFileAt(path.c_str(), nullptr, "!", 1, kAtEndOfFile));
    EXPECT_TRUE(WriteFileAt(path.c_str(), nullptr, "at8", 3, 8));
    EXPECT_EQ(folder_.Read("created"), std::string("Jello!\0\0at8", 11));

    char buffer[8] = {};
    EXPECT_TRUE(ReadFileAt(path.c_str(), nullptr, buffer, 4, 1));
    EXPECT_EQ(std::string(buffer, 4), "ello");
    EXPECT_FALSE(ReadFileAt(path.c_str(), nullptr, buffer, 4, 9)) << "only two bytes there";
    EXPECT_FALSE(ReadFileAt(folder_.Path("none").c_str(), nullptr, buffer, 1, 0));

    const HANDLE file = OpenHandle(path, GENERIC_READ | GENERIC_WRITE);
    EXPECT_TRUE(ReadFileAt("", file, buffer, 2, 0));
    EXPECT_TRUE(ReadFileAt(nullptr, file, buffer, 2, kAtCurrentPointer));
    EXPECT_EQ(std::string(buffer, 2), "ll");
    EXPECT_TRUE(WriteFileAt("", file, "?", 1, kAtCurrentPointer));
    EXPECT_FALSE(ReadFileAt(nullptr, file, buffer, 1, -3)) << "no negative offsets";
    EXPECT_FALSE(WriteFileAt(nullptr, file, "x", 1, -5));
    EXPECT_NE(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER)
        << "the handle passed in stays open";
    CloseHandle(file);
    EXPECT_EQ(folder_.Read("created"), std::string("Jell?!\0\0at8", 11));
}

TEST_F(FileOperations, FileTimesAreWrittenOnlyWhereAsked) {
    const std::string path = folder_.Write("timed", "x");
    const HANDLE file = OpenHandle(path, GENERIC_READ);
    FILETIME expected;
    GetFileTime(file, nullptr, nullptr, &expected);
    EXPECT_TRUE(QueryFileTimes(file, nullptr, nullptr, nullptr));
    CloseHandle(file);
    std::uint64_t creation = 0, lastWrite = 0;
    std::uint64_t lastAccess = 7;
    EXPECT_TRUE(QueryFileTimesByName(path.c_str(), &creation, nullptr, &lastWrite));
    EXPECT_EQ(lastWrite, (std::uint64_t{expected.dwHighDateTime} << 32) | expected.dwLowDateTime);
    EXPECT_NE(creation, 0u);
    EXPECT_FALSE(QueryFileTimesByName(folder_.Path("none").c_str(), &creation, &lastAccess,
                                      &lastWrite));
    EXPECT_EQ(lastAccess, 7u);
}

}  // namespace
