#include "tools/preview-window/preview_rows.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <shared_mutex>

#include "tools/preview-window/match_worker.h"
#include "tools/preview-window/suggest_worker.h"
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

PatternChoice ChoiceOf(std::initializer_list<const char*> patterns, bool onlyWhenFits = false) {
    PatternChoice choice;
    for (const char* pattern : patterns) choice.Put(choice.count, pattern);
    choice.onlyWhenFits = onlyWhenFits;
    return choice;
}

ValueTable Matched(const PreviewRows& rows, const PatternChoice& choice) {
    ValueTable values;
    values.Start(choice);
    for (std::size_t r = 0; r < rows.Size(); ++r) values.AddRow(rows.File(r).path);
    return values;
}

std::vector<std::string> Results(const PreviewRows& rows, const ValueTable& values) {
    std::vector<std::string> texts;
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        texts.push_back(CellText(rows, r, values, r, kResultColumn));
    }
    return texts;
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
        const ValueTable values = Matched(rows, ChoiceOf({pattern}));
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
            // An empty pattern fits nothing, as on the command line; its
            // misfits say that the pattern is empty.
            EXPECT_EQ(values.Outcome(r).fits, expected.fits) << label;
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
    const ValueTable values = Matched(rows, ChoiceOf({"[artist]-[track]"}));

    // A file without a decoder is never a misfit: the plugin would not tag
    // it whatever the pattern.
    const char* const expected[] = {"tagged", "no decoder for .xyz", "decoder cannot write tags",
                                    "nothing recognised",
                                    "does not fit: no `-` before the title; nothing recognised"};
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        EXPECT_EQ(CellText(rows, r, values, r, kResultColumn), expected[r]) << r;
    }
    const PreviewCounts counts = CountResults(rows, values);
    EXPECT_EQ(counts.files, 5u);
    EXPECT_EQ(counts.tagged, 1u);
    EXPECT_EQ(counts.noDecoder, 1u);
    EXPECT_EQ(counts.cannotWrite, 1u);
    EXPECT_EQ(counts.nothingRecognised, 2u);
    EXPECT_EQ(counts.doesNotFit, 1u);
}

// A path the pattern does not fit says so, and why, whatever else happens
// to it; with only fitting files tagged, it is refused before anything else
// is asked, and nothing is written. A cover is no misfit.
TEST(ValueTable, MisfitsSayTheyDoNotFitAndAreRefusedOnlyWhenAsked) {
    PreviewRows rows;
    rows.Add(FileAt("Band\\Album\\01 - Song.mp3"));
    rows.Add(FileAt("Band\\Album\\cover.jpg", DecoderStatus::None));
    rows.Add(FileAt("Band\\Album\\Liner - Notes.mp3"));
    rows.Add(FileAt("Band\\Album\\02 - Other.nos", DecoderStatus::CannotWrite));
    PreviewFile tooLong = FileAt("Band\\Album\\notes.mp3");
    tooLong.problem = PathProblem::TooLong;
    rows.Add(tooLong);
    const char* layout = "[artist]\\[album]\\[track number] - [track]";

    const ValueTable tagsAnyway = Matched(rows, ChoiceOf({layout}));
    const std::string why = "does not fit: the track number is not only digits; ";
    EXPECT_EQ(Results(rows, tagsAnyway),
              (std::vector<std::string>{"tagged", "nothing recognised", why + "tagged anyway",
                                        "decoder cannot write tags",
                                        "not tagged: path longer than 259 characters"}));
    EXPECT_EQ(tagsAnyway.Value(2, kAlbumColumn), "Album") << "the plugin writes what it read";
    const PreviewCounts anyway = CountResults(rows, tagsAnyway);
    EXPECT_EQ(anyway.doesNotFit, 1u) << "neither a cover nor an unusable path is a misfit";
    EXPECT_EQ(anyway.tagged, 2u);

    const ValueTable onlyFits = Matched(rows, ChoiceOf({layout}, true));
    EXPECT_EQ(Results(rows, onlyFits),
              (std::vector<std::string>{"tagged", "no decoder for .jpg", why + "not tagged",
                                        "decoder cannot write tags",
                                        "not tagged: path longer than 259 characters"}));
    for (int c = kArtistColumn; c <= kTrackColumn; ++c) {
        EXPECT_EQ(onlyFits.Value(2, PreviewColumn(c)), "") << "nothing written: " << c;
    }
    const PreviewCounts refused = CountResults(rows, onlyFits);
    EXPECT_EQ(refused.doesNotFit, 1u);
    EXPECT_EQ(refused.tagged, 1u);
    EXPECT_EQ(refused.nothingRecognised, 0u);
    EXPECT_EQ(refused.noDecoder, 1u);
}

// The rows take the values of the first pattern that fits, as the plugin
// does, and say which it was; a path none fits gets the first pattern's,
// and names none.
TEST(ValueTable, TheFirstPatternThatFitsGivesTheValues) {
    PreviewRows rows;
    rows.Add(FileAt("Band\\Album\\01 - Song.mp3"));
    rows.Add(FileAt("Band\\Loose - Single.mp3"));
    rows.Add(FileAt("Band\\Album\\cover.jpg"));
    const ValueTable values = Matched(
        rows, ChoiceOf({"[artist]\\[album]\\[track number] - [track]", "[artist] - [track]",
                        "[artist]\\[track]"}));
    EXPECT_EQ(values.Value(0, kAlbumColumn), "Album");
    EXPECT_EQ(values.Value(0, kTrackColumn), "1");
    EXPECT_EQ(values.Value(1, kArtistColumn), "Loose");
    EXPECT_EQ(values.Value(1, kTitleColumn), "Single");
    EXPECT_EQ(values.Value(1, kAlbumColumn), "");
    EXPECT_EQ(values.Value(2, kArtistColumn), "Album") << "the third pattern";
    EXPECT_EQ(values.Value(2, kTitleColumn), "cover");
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        EXPECT_TRUE(values.Outcome(r).fits) << r;
        EXPECT_EQ(CellText(rows, r, values, r, kUsedColumn), std::to_string(r + 1));
    }
    std::vector<std::uint32_t> order = {0, 1, 2};
    FilterOrder(order, rows, values, ResultFilter::UsedBy, 1);
    EXPECT_EQ(order, std::vector<std::uint32_t>{1});
    EXPECT_EQ(SortedOrder(rows, values, kUsedColumn, false), (std::vector<std::uint32_t>{2, 1, 0}));

    const ValueTable firstOnly = Matched(
        rows, ChoiceOf({"[artist]\\[album]\\[track number] - [track]", "[genre] - [year]"}));
    EXPECT_FALSE(firstOnly.Outcome(1).fits);
    EXPECT_EQ(CellText(rows, 1, firstOnly, 1, kUsedColumn), "");
    EXPECT_EQ(firstOnly.Value(1, kAlbumColumn), "Band") << "the first pattern's own reading";
    EXPECT_EQ(firstOnly.Value(1, kGenreColumn), "");
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
    const ValueTable values = Matched(rows, ChoiceOf({"[album]\\[track]"}));

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
    const ValueTable values = Matched(rows, ChoiceOf({"[album]\\[artist]-[track number]"}));
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
    rows.Add(FileAt("Band-.mp3"));
    const ValueTable values = Matched(rows, ChoiceOf({"[artist]-[track]"}));
    auto filtered = [&](ResultFilter filter) {
        std::vector<std::uint32_t> order = SortedOrder(rows, values, kArtistColumn, false);
        FilterOrder(order, rows, values, filter);
        return order;
    };
    EXPECT_EQ(filtered(ResultFilter::All), (std::vector<std::uint32_t>{3, 0, 2, 4, 1}));
    EXPECT_EQ(filtered(ResultFilter::Tagged), (std::vector<std::uint32_t>{3, 0, 4}));
    EXPECT_EQ(filtered(ResultFilter::NotTagged), (std::vector<std::uint32_t>{2, 1}));
    EXPECT_EQ(filtered(ResultFilter::NothingRecognised), (std::vector<std::uint32_t>{1}));
    // Tagged with an artist and no title: a misfit all the same.
    EXPECT_EQ(filtered(ResultFilter::DoesNotFit), (std::vector<std::uint32_t>{4, 1}));
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

    worker.Request(1, ChoiceOf({"[track]"}), rows.Size());
    worker.Request(2, ChoiceOf({"[artist]-[track]"}), rows.Size());
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

// Layouts are read from the tree below the folder: the folder's own name
// and those above it ("C:", "Music") would otherwise fill a layout one
// folder deeper than the tree's. Only files the plugin would tag count.
TEST(SuggestWorker, ProposesASetAndRanksTheLayoutsOfTheTreeBelowTheFolder) {
    PreviewRows rows;
    std::shared_mutex lock;
    for (int i = 1; i <= 12; ++i) {
        rows.Add(FileAt("Band " + std::to_string(i % 3) + "\\Album " + std::to_string(i % 4) +
                        "\\0" + std::to_string(i % 9 + 1) + " - Song " + std::to_string(i) +
                        ".mp3"));
    }
    rows.Add(FileAt("Band 1\\cover.jpg", DecoderStatus::None));
    WorkerResults results;
    Suggestions suggestions;
    {
        SuggestWorker worker(rows, lock, rows.Size(), 3, [&] { results.Finished(); });
        results.WaitFor(1);
        ASSERT_TRUE(worker.Take(suggestions));
    }
    const std::string layout = "[artist]\\[album]\\[track number] - [track]";
    ASSERT_EQ(suggestions.set.size(), 1u);
    EXPECT_EQ(suggestions.set[0].pattern, layout);
    EXPECT_EQ(suggestions.set[0].used, 12u);
    ASSERT_LE(suggestions.singles.size(), 3u);
    ASSERT_FALSE(suggestions.singles.empty());
    EXPECT_EQ(suggestions.singles[0].pattern, layout);
    EXPECT_EQ(suggestions.singles[0].fits, 12u);
    EXPECT_EQ(suggestions.singles[0].files, 12u);
    EXPECT_EQ(suggestions.singles[0].values, 48u);
    for (const PatternSuggestion& s : suggestions.singles) {
        EXPECT_EQ(s.pattern.find("[genre]"), std::string::npos) << s.pattern;
    }
}

}  // namespace
