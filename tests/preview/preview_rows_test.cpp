#include "tools/preview-window/preview_rows.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <shared_mutex>

#include "tools/preview-window/match_worker.h"
#include "tools/preview/preview_output.h"

namespace {

PreviewFile FileAt(const std::string& relative, DecoderStatus decoder = DecoderStatus::Writes) {
    PreviewFile file;
    file.path = "C:\\Music\\" + relative;
    file.relativeStart = 9;
    const std::size_t dot = relative.rfind('.');
    file.extension = dot == std::string::npos ? "." : relative.substr(dot);
    file.decoder = decoder;
    return file;
}

const char* const kPaths[] = {
    "Some Band\\Best Of (98)\\07 - A Song.mp3", "Band-07-Title.mp3", "07A Song.flac",
    "Untitled.mp3", "  Blank  -  Spaces  .ogg", "A-B-C", "Band - 1999 - 4.mp3",
};
const char* const kPatterns[] = {
    "[artist]\\[album] ([year])\\[track number] - [track]", "[artist]-[track number]-[track]",
    "[track number][track]", "[artist]-[track]", "[artist] - [year] - [track number]", "",
};

// The window's cells hold exactly what the command-line preview says would
// be written, column by column.
TEST(ValueTable, CellsAreTheWritesOfThePreview) {
    PreviewRows rows;
    for (const char* path : kPaths) rows.Add(FileAt(path));
    for (const char* pattern : kPatterns) {
        ValueTable values;
        for (std::size_t r = 0; r < rows.Size(); ++r) values.AddRow(pattern, rows.File(r).path);
        for (std::size_t r = 0; r < rows.Size(); ++r) {
            const PreviewResult expected = PreviewPath(pattern, rows.File(r).path);
            std::string label = std::string(pattern) + " on " + rows.File(r).path;
            for (int c = kArtistColumn; c <= kTrackColumn; ++c) {
                std::string want;
                for (std::size_t i = 0; i < expected.writes.count; ++i) {
                    if (kColumnTitles[c] == std::string(expected.writes.writes[i].fieldName)) {
                        want = expected.writes.writes[i].value.CStr();
                    }
                }
                EXPECT_EQ(CellText(rows, r, values, r, PreviewColumn(c)), want) << label;
            }
            EXPECT_EQ(values.Recognised(r), !expected.writes.Empty()) << label;
            EXPECT_EQ(CellText(rows, r, values, r, kFileColumn),
                      rows.File(r).path.substr(9)) << label;
        }
    }
}

TEST(ValueTable, ResultsAndCountsFollowThePluginsOrderOfDecisions) {
    PreviewRows rows;
    rows.Add(FileAt("Band-Song.mp3"));
    rows.Add(FileAt("Band-Song.xyz", DecoderStatus::None));
    rows.Add(FileAt("Band-Song.nos", DecoderStatus::CannotWrite));
    rows.Add(FileAt("Untitled.xyz", DecoderStatus::None));
    rows.Add(FileAt("Untitled.mp3"));
    ValueTable values;
    for (std::size_t r = 0; r < rows.Size(); ++r) values.AddRow("[artist]-[track]", rows.File(r).path);

    const char* const expected[] = {"tagged", "no decoder for .xyz", "decoder cannot write tags",
                                    "nothing recognised", "nothing recognised"};
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        EXPECT_EQ(CellText(rows, r, values, r, kResultColumn), expected[r]) << r;
    }
    const PreviewCounts counts = CountResults(rows, values);
    EXPECT_EQ(counts.files, 5u);
    EXPECT_EQ(counts.tagged, 1u);
    EXPECT_EQ(counts.noDecoder, 1u);
    EXPECT_EQ(counts.cannotWrite, 1u);
    EXPECT_EQ(counts.nothingRecognised, 2u);
}

// Each file the plugin would not tag says why, in the order the plugin
// decides: a path it is never handed first, then nothing recognised.
TEST(ValueTable, ResultsSayWhyAFileWouldNotBeTagged) {
    PreviewRows rows;
    rows.Add(FileAt("Flat\\README", DecoderStatus::None));
    rows.Add(FileAt("Flat\\.DS_Store", DecoderStatus::None));
    rows.Add(FileAt("Flat\\x.y\\Band-Song.mp3", DecoderStatus::HostNotFound));
    PreviewFile outside = FileAt("Flat\\Band-?????.mp3");
    outside.problem = PathProblem::OutsideCodePage;
    rows.Add(outside);
    PreviewFile tooLong = FileAt("Flat\\Band-Song.mp3");
    tooLong.problem = PathProblem::TooLong;
    rows.Add(tooLong);
    ValueTable values;
    for (std::size_t r = 0; r < rows.Size(); ++r) values.AddRow("[album]\\[track]", rows.File(r).path);

    const char* const expected[] = {
        "no decoder: no extension", "no decoder for files named .DS_Store",
        "no decoder: host's decoders not found", "not tagged: characters outside the code page",
        "not tagged: path longer than 259 characters"};
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        EXPECT_EQ(CellText(rows, r, values, r, kResultColumn), expected[r]) << r;
    }
    const PreviewCounts counts = CountResults(rows, values);
    EXPECT_EQ(counts.noDecoder, 3u);
    EXPECT_EQ(counts.unusablePath, 2u);
    EXPECT_EQ(counts.tagged + counts.nothingRecognised + counts.cannotWrite, 0u);
}

std::vector<std::string> Column(const PreviewRows& rows, const ValueTable& values,
                                const std::vector<std::uint32_t>& order, PreviewColumn column) {
    std::vector<std::string> cells;
    for (std::uint32_t r : order) cells.push_back(CellText(rows, r, values, r, column));
    return cells;
}

TEST(SortedOrder, TextsIgnoreCaseNumbersCompareAsNumbersEmptyCellsFirst) {
    PreviewRows rows;
    for (const char* path : {"b\\x-10.mp3", "A\\y-9.mp3", "c\\z.mp3", "a\\w-100.mp3"}) {
        rows.Add(FileAt(path));
    }
    ValueTable values;
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        values.AddRow("[album]\\[artist]-[track number]", rows.File(r).path);
    }
    EXPECT_EQ(Column(rows, values, SortedOrder(rows, values, kFileColumn, true), kFileColumn),
              (std::vector<std::string>{"a\\w-100.mp3", "A\\y-9.mp3", "b\\x-10.mp3", "c\\z.mp3"}));
    EXPECT_EQ(Column(rows, values, SortedOrder(rows, values, kTrackColumn, true), kTrackColumn),
              (std::vector<std::string>{"", "9", "10", "100"}));
    EXPECT_EQ(Column(rows, values, SortedOrder(rows, values, kTrackColumn, false), kTrackColumn),
              (std::vector<std::string>{"100", "10", "9", ""}));
    // Equal albums keep the order the folder was read in.
    EXPECT_EQ(Column(rows, values, SortedOrder(rows, values, kAlbumColumn, true), kFileColumn),
              (std::vector<std::string>{"c\\z.mp3", "A\\y-9.mp3", "a\\w-100.mp3", "b\\x-10.mp3"}));
}

// The filter keeps the order it is given and only the rows of its kind.
TEST(FilterOrder, KeepsTheRowsOfTheChosenResult) {
    PreviewRows rows;
    rows.Add(FileAt("Band-Song.mp3"));
    rows.Add(FileAt("Untitled.mp3"));
    rows.Add(FileAt("Band-Song.xyz", DecoderStatus::None));
    rows.Add(FileAt("Other-Song.mp3"));
    ValueTable values;
    for (std::size_t r = 0; r < rows.Size(); ++r) values.AddRow("[artist]-[track]", rows.File(r).path);
    auto filtered = [&](ResultFilter filter) {
        std::vector<std::uint32_t> order = SortedOrder(rows, values, kArtistColumn, false);
        FilterOrder(order, rows, values, filter);
        return order;
    };
    EXPECT_EQ(filtered(ResultFilter::All), (std::vector<std::uint32_t>{3, 0, 2, 1}));
    EXPECT_EQ(filtered(ResultFilter::Tagged), (std::vector<std::uint32_t>{3, 0}));
    EXPECT_EQ(filtered(ResultFilter::NotTagged), (std::vector<std::uint32_t>{2, 1}));
    EXPECT_EQ(filtered(ResultFilter::DoesNotFit), (std::vector<std::uint32_t>{1}));
}

class WorkerResults {
public:
    void Finished() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++finished_;
        changed_.notify_all();
    }
    void WaitFor(int finished) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return finished_ >= finished; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int finished_ = 0;
};

TEST(MatchWorker, TheNewestRequestsTableArrivesWhole) {
    PreviewRows rows;
    std::shared_mutex lock;
    for (int i = 0; i < 20000; ++i) rows.Add(FileAt("Band" + std::to_string(i) + "-Song.mp3"));
    WorkerResults results;
    MatchWorker worker(rows, lock, [&] { results.Finished(); });

    worker.Request(1, "[track]", rows.Size());
    worker.Request(2, "[artist]-[track]", rows.Size());
    results.WaitFor(1);
    ValueTable table;
    std::uint32_t generation = 0;
    // The first request may have finished before the second arrived.
    while (worker.Take(table, generation), generation != 2) results.WaitFor(2);
    ASSERT_EQ(table.Size(), rows.Size());
    EXPECT_EQ(table.Value(12345, kArtistColumn), "Band12345");
    EXPECT_EQ(table.Value(12345, kTitleColumn), "Song");
    EXPECT_FALSE(worker.Take(table, generation));
}

}  // namespace
