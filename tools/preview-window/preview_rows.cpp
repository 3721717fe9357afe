#include "tools/preview-window/preview_rows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tagging/misfit_description.h"
#include "tagging/pattern_suggest.h"
#include "util/ascii_case.h"
#include "tagging/tag_values.h"

const char* const kColumnTitles[kColumnCount] = {
    "File", "Artist", "Album", "Title", "Genre", "Year", "Track", "Result", "Used"};

void ValueTable::Start(const PatternChoice& choice) {
    rows_.clear();
    text_.clear();
    misfits_.clear();
    choice_ = choice;
}

// The plugin does no work at all for an empty pattern: nothing fits, nothing
// is written.
void ValueTable::AddRow(const std::string& path) {
    Row row;
    row.offset = std::uint32_t(text_.size());
    TagFields fields;
    bool writes = false;
    if (choice_.count > 0 && !choice_.patterns[0].Empty()) {
        const ChoiceOutcome outcome = MatchAndTellChoice(choice_, path.c_str(), fields);
        writes = outcome.write;
        row.used = std::int8_t(outcome.used);
        if (outcome.used < 0) {
            row.misfit = std::uint32_t(misfits_.size());
            misfits_.push_back(outcome.firstMisfit);
        }
    } else {
        row.misfit = std::uint32_t(misfits_.size());
        misfits_.push_back(Misfit{});
    }
    if (writes) {
        NormaliseTagFields(fields);
        const TagWritePlan plan = PlanTagWrites(fields);
        // The plan names its writes by the column titles.
        for (std::size_t i = 0; i < plan.count; ++i) {
            const TagWrite& write = plan.writes[i];
            for (int c = kArtistColumn; c <= kTrackColumn; ++c) {
                if (std::strcmp(write.fieldName, kColumnTitles[c]) != 0) continue;
                row.lengths[c - kArtistColumn] = std::uint16_t(write.value.Length());
            }
        }
        // Stored in column order, which is the plan's order too.
        for (std::size_t i = 0; i < plan.count; ++i) text_ += plan.writes[i].value.CStr();
    }
    rows_.push_back(row);
}

std::string_view ValueTable::Value(std::size_t row, PreviewColumn column) const {
    const Row& r = rows_[row];
    std::size_t offset = r.offset;
    for (int c = kArtistColumn; c < column; ++c) offset += r.lengths[c - kArtistColumn];
    return std::string_view(text_).substr(offset, r.lengths[column - kArtistColumn]);
}

bool ValueTable::Recognised(std::size_t row) const {
    const Row& r = rows_[row];
    return std::any_of(std::begin(r.lengths), std::end(r.lengths),
                       [](std::uint16_t n) { return n != 0; });
}

MatchOutcome ValueTable::Outcome(std::size_t row) const {
    const Row& r = rows_[row];
    return {Recognised(row), r.misfit == kFits, choice_.onlyWhenFits, r.used};
}

Misfit ValueTable::MisfitOf(std::size_t row) const {
    const Row& r = rows_[row];
    return r.misfit == kFits ? Misfit{} : misfits_[r.misfit];
}

bool WouldBeTagged(const PreviewFile& file) {
    switch (file.decoder) {
        case DecoderStatus::Writes:
        case DecoderStatus::CannotWrite: return true;
        case DecoderStatus::HostNotFound: return HasCommonAudioExtension(file.path);
        case DecoderStatus::None: break;
    }
    return false;
}

// In the order the plugin decides: a path it is never given first, then a
// misfit it refuses, then nothing to write, then the decoder.
ResultKind KindOfResult(const MatchOutcome& outcome, const PreviewFile& file) {
    if (file.problem != PathProblem::None) return ResultKind::UnusablePath;
    // Refused for not fitting, a file without a decoder says so, as it
    // would whatever the pattern.
    const bool refused = !outcome.fits && outcome.onlyWhenFits;
    if (refused && IsMisfit(outcome, file)) return ResultKind::DoesNotFit;
    if (!refused && !outcome.recognised) return ResultKind::NothingRecognised;
    switch (file.decoder) {
        case DecoderStatus::None:
        case DecoderStatus::HostNotFound: return ResultKind::NoDecoder;
        case DecoderStatus::CannotWrite: return ResultKind::CannotWrite;
        case DecoderStatus::Writes: break;
    }
    return ResultKind::Tagged;
}

namespace {

std::string_view FileName(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
}

// The catalogue is asked for the text from the name's last dot on: a lone
// "." for a name without one, the whole name for ".DS_Store".
std::string NoDecoderText(const PreviewFile& file) {
    if (file.decoder == DecoderStatus::HostNotFound) {
        return "no decoder: host's decoders not found";
    }
    if (file.extension == ".") return "no decoder: no extension";
    if (file.extension == FileName(file.path)) return "no decoder for files named " + file.extension;
    return "no decoder for " + file.extension;
}

std::string TextOfKind(ResultKind kind, const PreviewFile& file) {
    switch (kind) {
        case ResultKind::UnusablePath:
            return file.problem == PathProblem::TooLong
                       ? "not tagged: path longer than 259 characters"
                       : "not tagged: characters outside the code page";
        case ResultKind::DoesNotFit: return "not tagged";
        case ResultKind::NothingRecognised: return "nothing recognised";
        case ResultKind::NoDecoder: return NoDecoderText(file);
        case ResultKind::CannotWrite: return "decoder cannot write tags";
        case ResultKind::Tagged: break;
    }
    return "tagged";
}

}  // namespace

bool IsMisfit(const MatchOutcome& outcome, const PreviewFile& file) {
    return !outcome.fits && file.problem == PathProblem::None && WouldBeTagged(file);
}

// A misfit says why, then what the plugin does with it: one it would still
// tag gets what the first pattern collected, across folders if need be.
std::string ResultText(const MatchOutcome& outcome, const PreviewFile& file, const Misfit& why) {
    const ResultKind kind = KindOfResult(outcome, file);
    if (!IsMisfit(outcome, file)) return TextOfKind(kind, file);
    // Nothing fits an empty pattern: the plugin does no work for it.
    const std::string reason =
        why.kind == MisfitKind::None ? "the pattern is empty" : DescribeMisfit(why);
    return "does not fit: " + reason + "; " +
           (kind == ResultKind::Tagged ? std::string("tagged anyway") : TextOfKind(kind, file));
}

std::string CellText(const PreviewRows& rows, std::size_t row, const ValueTable& values,
                     std::size_t valueRow, PreviewColumn column) {
    if (column == kFileColumn) return std::string(rows.RelativePath(row));
    if (column == kResultColumn) {
        return ResultText(values.Outcome(valueRow), rows.File(row), values.MisfitOf(valueRow));
    }
    if (column == kUsedColumn) {
        const int used = values.Outcome(valueRow).used;
        return used >= 0 ? std::to_string(used + 1) : "";
    }
    return std::string(values.Value(valueRow, column));
}

PreviewCounts CountResults(const PreviewRows& rows, const ValueTable& values) {
    PreviewCounts counts;
    counts.files = values.Size();
    for (std::size_t row = 0; row < values.Size(); ++row) {
        const MatchOutcome outcome = values.Outcome(row);
        if (IsMisfit(outcome, rows.File(row))) ++counts.doesNotFit;
        switch (KindOfResult(outcome, rows.File(row))) {
            case ResultKind::UnusablePath: ++counts.unusablePath; break;
            case ResultKind::DoesNotFit: break;
            case ResultKind::NothingRecognised: ++counts.nothingRecognised; break;
            case ResultKind::NoDecoder: ++counts.noDecoder; break;
            case ResultKind::CannotWrite: ++counts.cannotWrite; break;
            case ResultKind::Tagged: ++counts.tagged; break;
        }
    }
    return counts;
}

namespace {

// Numbers are "%d" texts; an empty cell comes before every number.
int CompareNumbers(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return int(!a.empty()) - int(!b.empty());
    const long x = std::strtol(std::string(a).c_str(), nullptr, 10);
    const long y = std::strtol(std::string(b).c_str(), nullptr, 10);
    return x == y ? 0 : (x < y ? -1 : 1);
}

}  // namespace

std::vector<std::uint32_t> SortedOrder(const PreviewRows& rows, const ValueTable& values,
                                       PreviewColumn column, bool ascending) {
    std::vector<std::uint32_t> order(values.Size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    auto compare = [&](std::uint32_t a, std::uint32_t b) {
        switch (column) {
            case kFileColumn:
                return CompareIgnoringAsciiCase(rows.RelativePath(a), rows.RelativePath(b));
            case kYearColumn:
            case kTrackColumn:
                return CompareNumbers(values.Value(a, column), values.Value(b, column));
            case kUsedColumn:
                return values.Outcome(a).used == values.Outcome(b).used
                           ? 0
                           : (values.Outcome(a).used < values.Outcome(b).used ? -1 : 1);
            case kResultColumn:
                return CompareIgnoringAsciiCase(CellText(rows, a, values, a, column),
                                           CellText(rows, b, values, b, column));
            default:
                return CompareIgnoringAsciiCase(values.Value(a, column), values.Value(b, column));
        }
    };
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = compare(a, b);
        return ascending ? c < 0 : c > 0;
    });
    return order;
}

void FilterOrder(std::vector<std::uint32_t>& order, const PreviewRows& rows,
                 const ValueTable& values, ResultFilter filter, int used) {
    if (filter == ResultFilter::All) return;
    auto leftOut = [&](std::uint32_t row) {
        const MatchOutcome outcome = values.Outcome(row);
        const ResultKind kind = KindOfResult(outcome, rows.File(row));
        switch (filter) {
            case ResultFilter::Tagged: return kind != ResultKind::Tagged;
            case ResultFilter::NotTagged: return kind == ResultKind::Tagged;
            case ResultFilter::NothingRecognised: return kind != ResultKind::NothingRecognised;
            case ResultFilter::DoesNotFit: return !IsMisfit(outcome, rows.File(row));
            case ResultFilter::UsedBy: return outcome.used != used;
            case ResultFilter::All: break;
        }
        return false;
    };
    order.erase(std::remove_if(order.begin(), order.end(), leftOut), order.end());
}
