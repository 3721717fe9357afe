// What the preview window lists, kept apart from the window so that it can
// be tested anywhere: the files of the folder tree, once; the values a
// pattern gives each of them, as the plugin would write them; the text of
// every cell; counts; and the order of the rows when a column is sorted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tagging/pattern_fit.h"

// What the host's decoder for a file's extension can do, as the plugin
// would find it.
enum class DecoderStatus : std::uint8_t {
    None,         // no decoder declares the extension
    CannotWrite,  // its decoder lacks SetIDTagElement
    Writes,
    HostNotFound,  // the host's decoders were not found, so none is known
};

// Why the host cannot hand a file's path to the plugin at all.
enum class PathProblem : std::uint8_t {
    None,
    TooLong,          // beyond the host's 259 characters
    OutsideCodePage,  // the host's path has "?" where the name has characters
                      // its code page lacks, and names no file
};

// What the plugin would do with a file, in the order it decides.
enum class ResultKind : std::uint8_t {
    UnusablePath,
    DoesNotFit,  // no pattern fits, and only files a pattern fits are tagged
    NothingRecognised,
    NoDecoder,
    CannotWrite,
    Tagged,
};

// Which rows the list shows.
enum class ResultFilter : std::uint8_t {
    All,
    Tagged,
    NotTagged,
    NothingRecognised,  // the pattern recognises nothing in the path
    DoesNotFit,         // no pattern fits the path
    UsedBy,             // a given pattern of the set read the path
};

enum PreviewColumn : int {
    kFileColumn,
    kArtistColumn,
    kAlbumColumn,
    kTitleColumn,
    kGenreColumn,
    kYearColumn,
    kTrackColumn,
    kResultColumn,
    kUsedColumn,  // which pattern read the row: 1 the pattern, 2... the fallbacks
    kColumnCount,
};

// The column headings, in column order.
extern const char* const kColumnTitles[kColumnCount];

// One file found below the folder.
struct PreviewFile {
    std::string path;               // full path, as the host would pass it
    std::uint16_t relativeStart = 0;  // where the path below the folder begins
    std::string extension;          // with its dot, as the catalogue is asked
    DecoderStatus decoder = DecoderStatus::None;
    PathProblem problem = PathProblem::None;
    // The path below the folder as the disk names it, kept only where path
    // cannot show it (OutsideCodePage).
    std::wstring wideRelativePath;
};

class PreviewRows {
public:
    void Add(PreviewFile file) { files_.push_back(std::move(file)); }
    void Clear() { files_.clear(); }
    std::size_t Size() const { return files_.size(); }
    const PreviewFile& File(std::size_t row) const { return files_[row]; }
    std::string_view RelativePath(std::size_t row) const {
        return std::string_view(files_[row].path).substr(files_[row].relativeStart);
    }

private:
    std::vector<PreviewFile> files_;
};

// What the patterns made of one path.
struct MatchOutcome {
    bool recognised = false;    // some value would be written
    bool fits = true;           // one of the patterns fits the path
    bool onlyWhenFits = false;  // a path no pattern fits is not tagged
    int used = -1;              // the pattern that fits first, from 0; -1 for none
};

// The values a choice of patterns gives a run of rows, from row 0 on, in
// the order of the columns Artist to Track; an absent value is empty.
class ValueTable {
public:
    // Empties the table for rows matched with the choice, which is kept.
    void Start(const PatternChoice& choice);
    void Clear() { Start(PatternChoice{}); }
    // Matches the file's path as the plugin chooses among the patterns and
    // keeps what it would write. An empty first pattern matches nothing.
    void AddRow(const std::string& path);
    std::size_t Size() const { return rows_.size(); }
    std::string_view Value(std::size_t row, PreviewColumn column) const;
    bool Recognised(std::size_t row) const;
    MatchOutcome Outcome(std::size_t row) const;
    // Why the first pattern does not fit a row that no pattern fits.
    Misfit MisfitOf(std::size_t row) const;

private:
    static constexpr int kValueCount = kTrackColumn - kArtistColumn + 1;
    static constexpr std::uint32_t kFits = std::uint32_t(-1);
    struct Row {
        std::uint32_t offset = 0;
        std::uint16_t lengths[kValueCount] = {};
        std::int8_t used = -1;
        std::uint32_t misfit = kFits;  // where in misfits_ a misfit row's reason is
    };
    std::vector<Row> rows_;
    std::string text_;
    std::vector<Misfit> misfits_;
    PatternChoice choice_;
};

// A file the plugin would tag, given values: one whose extension a decoder
// of the host declares; where the host's decoders were not found, one with
// a common audio extension.
bool WouldBeTagged(const PreviewFile& file);

ResultKind KindOfResult(const MatchOutcome& outcome, const PreviewFile& file);
// A path the plugin would be given and would tag, that no pattern fits.
// Covers, logs and playlists never are.
bool IsMisfit(const MatchOutcome& outcome, const PreviewFile& file);
// The text of the Result column: what the plugin would do with the file,
// and why where it would not tag it or where no pattern fits (why is the
// first pattern's reason then).
std::string ResultText(const MatchOutcome& outcome, const PreviewFile& file, const Misfit& why);

// The text of a cell of the row; valueRow is the row's place in values.
std::string CellText(const PreviewRows& rows, std::size_t row, const ValueTable& values,
                     std::size_t valueRow, PreviewColumn column);

struct PreviewCounts {
    std::size_t files = 0;
    std::size_t tagged = 0;
    std::size_t nothingRecognised = 0;
    std::size_t noDecoder = 0;
    std::size_t cannotWrite = 0;
    std::size_t unusablePath = 0;
    std::size_t doesNotFit = 0;  // of any result but an unusable path
};

// Over the rows the table covers.
PreviewCounts CountResults(const PreviewRows& rows, const ValueTable& values);

// The rows the table covers, in the column's order (letter case ignored,
// Year and Track as numbers, empty cells first); rows of equal cells keep
// the order in which the folder was read.
std::vector<std::uint32_t> SortedOrder(const PreviewRows& rows, const ValueTable& values,
                                       PreviewColumn column, bool ascending);

// Removes from order the rows that the filter leaves out; used is the
// pattern's index for UsedBy.
void FilterOrder(std::vector<std::uint32_t>& order, const PreviewRows& rows,
                 const ValueTable& values, ResultFilter filter, int used = -1);
