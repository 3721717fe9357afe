// LookUpTrackInfo against the test decoders in this program's decoder
// folder; the recording decoder answers by the file's extension.
#include "decoders/track_info.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

TrackInfoRecord RecordFor(const std::string& path) {
    TrackInfoRecord record;
    std::memset(&record, 0x5A, sizeof record);  // whatever the caller left
    record.firstText[0] = '\0';
    record.secondText[0] = '\0';
    std::strcpy(record.path, path.c_str());
    return record;
}

ULONGLONG Ticks(const FILETIME& time) {
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG NowTicks() {
    SYSTEMTIME now;
    FILETIME time;
    GetSystemTime(&now);
    SystemTimeToFileTime(&now, &time);
    return Ticks(time);
}

bool AllZero(const std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (bytes[i]) return false;
    }
    return true;
}

TEST(TrackInfo, FilledRecordIsLeftAloneAndOnlyTheReplyEmptied) {
    TrackInfoRecord record = RecordFor("C:\\Music\\A - B.full");
    std::strcpy(record.firstText, "Kept");
    const TrackInfoRecord before = record;
    char reply[260] = "old";
    LookUpTrackInfo(&record, reply);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(TrackInfo, WithoutDecoderTheNameIsSplitAtItsFirstDash) {
    const ULONGLONG start = NowTicks();
    TrackInfoRecord record = RecordFor("C:\\Music.x\\Some Band - A Song - Live.zzz");
    char reply[260] = "old";
    LookUpTrackInfo(&record, reply);
    EXPECT_STREQ(record.firstText, "Some Band");
    EXPECT_STREQ(record.secondText, "A Song - Live");
    EXPECT_STREQ(record.thirdText, "");
    EXPECT_STREQ(record.path, "C:\\Music.x\\Some Band - A Song - Live.zzz");
    EXPECT_EQ(record.fromArg3, 0);
    EXPECT_EQ(record.fromArg10High, 0);
    EXPECT_TRUE(AllZero(record.unused1, sizeof record.unused1));
    EXPECT_TRUE(AllZero(record.unused3, sizeof record.unused3));
    EXPECT_GE(Ticks(record.lookupTime), start);
    EXPECT_LE(Ticks(record.lookupTime), NowTicks());
    EXPECT_STREQ(reply, "");
}

TEST(TrackInfo, NameWithoutDashBecomesTheWholeSecondTextCut) {
    TrackInfoRecord record = RecordFor("C:\\Music\\  Just A Title .zzz");
    LookUpTrackInfo(&record, nullptr);
    EXPECT_STREQ(record.firstText, "");
    EXPECT_STREQ(record.secondText, "  Just A Title ");

    const std::string longName(150, 'n');
    record = RecordFor("C:\\" + longName + ".zzz");
    LookUpTrackInfo(&record, nullptr);
    EXPECT_EQ(record.secondText, longName.substr(0, 99));

    // Cut to 99 first, trimmed after: the blank after the dash costs a letter.
    record = RecordFor("C:\\" + std::string(98, 'a') + "  - " + std::string(120, 'b') + ".zzz");
    LookUpTrackInfo(&record, nullptr);
    EXPECT_EQ(record.firstText, std::string(98, 'a'));
    EXPECT_EQ(record.secondText, std::string(98, 'b'));
}

TEST(TrackInfo, DecoderAnswersAreStoredAsTheRecordLaysThemOut) {
    TrackInfoRecord record = RecordFor("C:\\Music\\Name - Other.full");
    char reply[260] = "";
    LookUpTrackInfo(&record, reply);
    EXPECT_STREQ(record.firstText, "Decoder Artist");
    EXPECT_STREQ(record.secondText, "Decoder Title");
    EXPECT_STREQ(record.thirdText, "Decoder Album");
    EXPECT_STREQ(reply, "reply");
    EXPECT_EQ(record.fromArg2, 0x2345);
    EXPECT_EQ(record.fromArg3, -2001);
    EXPECT_EQ(record.fromArg4, 0xFF);
    EXPECT_EQ(record.fromArg5, 44100);
    EXPECT_EQ(record.fromArg6, -7);
    EXPECT_EQ(record.fromArg10Low, 0x1234);
    EXPECT_EQ(record.fromArg10High, 0xAB);
    EXPECT_EQ(record.fromArg11, 0xFE);
}

// Leaves non-zero bytes in the stack below the caller, where the next call's
// locals will lie.
__attribute__((noinline)) void LeaveJunkOnTheStack() {
    volatile char junk[64 * 1024];
    for (std::size_t i = 0; i < sizeof junk; ++i) junk[i] = 'J';
}

TEST(TrackInfo, TextsWrittenWithoutTerminatorsAreExactlyWhatWasWritten) {
    TrackInfoRecord record = RecordFor("C:\\Music\\A - B.bare");
    char reply[260] = "old";
    LeaveJunkOnTheStack();
    LookUpTrackInfo(&record, reply);
    EXPECT_STREQ(record.firstText, "abc");
    EXPECT_STREQ(record.secondText, "de");
    EXPECT_STREQ(record.thirdText, "f");
    EXPECT_STREQ(reply, "gh");
}

TEST(TrackInfo, DecoderWithOnlyTheThirdTextStillGetsTheNameFallback) {
    TrackInfoRecord record = RecordFor("C:\\Music\\Artist-Title.third");
    LookUpTrackInfo(&record, nullptr);
    EXPECT_STREQ(record.thirdText, "Only Third");
    EXPECT_STREQ(record.firstText, "Artist");
    EXPECT_STREQ(record.secondText, "Title");
}

TEST(TrackInfo, FaultingDecoderEndsTheLookupSilently) {
    for (const char* path : {"C:\\Music\\A - B.crash", "C:\\Music\\A - B.throw"}) {
        TrackInfoRecord record = RecordFor(path);
        LookUpTrackInfo(&record, nullptr);
        EXPECT_STREQ(record.firstText, "Partial") << path;
        EXPECT_STREQ(record.secondText, "") << path;
        EXPECT_EQ(record.fromArg3, 0) << path;
    }
    TrackInfoRecord record = RecordFor("C:\\Music\\A - B.zzz");
    LookUpTrackInfo(&record, nullptr);
    EXPECT_STREQ(record.secondText, "B");
}

}  // namespace

namespace {

TEST(TrackInfo, TextsADecoderWritesPastTheirSizeAreCutToTheFields) {
    TrackInfoRecord record = RecordFor("C:\\Music\\A - B.long");
    char reply[260] = "old";
    LookUpTrackInfo(&record, reply);
    EXPECT_EQ(std::string(record.firstText), std::string(99, 'L'));
    EXPECT_EQ(std::string(record.secondText), std::string(99, 'L'));
    EXPECT_EQ(std::string(record.thirdText), std::string(99, 'L'));
    EXPECT_EQ(std::string(reply), std::string(259, 'L'));
    EXPECT_STREQ(record.path, "C:\\Music\\A - B.long") << "nothing spilled into the path";
}

}  // namespace
