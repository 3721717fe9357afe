#include "tagging/pattern_suggest.h"

#include <algorithm>
#include <bit>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "tagging/layout_forms.h"
#include "tagging/layout_reading.h"
#include "tagging/pattern_fit.h"

namespace {

// A folder whose tagged files are read by two patterns, or whose values do
// not look right, may be tagged wrong; that weighs this many times as much
// as the same read right.
constexpr long kWrongWeight = 4;

constexpr std::size_t kMaxSetSize = PatternChoice::kMaxPatterns;

// Which candidates a set holds, one flag each.
using Chosen = std::vector<char>;

// What the judgement needs of one candidate's reading of one file.
struct Reading {
    std::size_t candidate;
    std::int32_t trackNumber;
    std::int32_t disc;
    bool suspect;       // a value from at or above the folder, or from the wrong place
    bool titleHasDash;  // the title holds " - ", which may part a performer from it
};

struct FileEntry {
    std::size_t folder = 0;  // index into the leaf folders
    std::uint64_t formsMayFit = 0;  // a bit for each file form that fits the name's shape
    // What the file forms asked for read, by form; none where one does not fit.
    std::vector<std::pair<std::size_t, std::optional<NameReading>>> names;
    std::vector<Reading> readings;  // the candidates that fit, in candidate order
};

struct Candidate {
    std::size_t part = 0;  // index into the folder parts
    std::size_t form = 0;  // index into FileForms()
    std::string pattern;
    NamedFields named = 0;
    bool readsPast = false;  // reads no title: safe beside another where it fits
    std::size_t fields = 0;  // those named, and a disc
    std::size_t levels = 0;
    std::vector<std::size_t> folders;  // the leaf folders where it fits a file
};

// The tagged files of one folder, judged together: each file read right
// counts with the fields read from it, so that a layout that reads the
// title beats one that reads past it.
struct FolderVerdict {
    long right = 0;
    long wrong = 0;
    long Score() const { return right - kWrongWeight * wrong; }
};

// The file's name with the backslash before it, within the path.
const char* NameWithItsBackslash(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return path.c_str() + (slash == std::string::npos ? 0 : slash);
}

// What decides a folder's parts: its last three names, each as its shape,
// but for the names the parts spell as they are (a compilation's folder, a
// disc folder's word), and whether more folders are above them.
std::string LayoutShape(const std::vector<std::string>& names) {
    std::string shape = names.size() > 3 ? "+" : "";
    for (std::size_t i = names.size() > 3 ? names.size() - 3 : 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        const std::size_t dash = name.find(" - ");
        if (IsCompilationFolder(name)) {
            shape += "C" + name;
        } else if (!DiscFolderForm(name).empty()) {
            shape += "D" + DiscFolderForm(name);
        } else if (dash != std::string::npos && IsCompilationFolder(name.substr(0, dash))) {
            shape += "P" + name.substr(0, dash) + NameShape(name.substr(dash));
        } else {
            shape += "S" + NameShape(name);
        }
        shape += '\\';
    }
    return shape;
}

// The texts between a pattern's tokens, but for lone backslashes: a path
// the pattern fits holds every one of them.
std::vector<std::string> LiteralsOf(const std::string& pattern) {
    std::vector<std::string> literals;
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t close = pattern[i] == '[' ? pattern.find(']', i) : std::string::npos;
        if (close != std::string::npos &&
            RecogniseToken(pattern.data() + i, close - i + 1) != TagToken::None) {
            if (!text.empty() && text != "\\") literals.push_back(text);
            text.clear();
            i = close;
        } else {
            text += pattern[i];
        }
    }
    if (!text.empty() && text != "\\") literals.push_back(text);
    return literals;
}

bool HoldsLiterals(const std::string& path, const std::vector<std::string>& literals) {
    return std::all_of(literals.begin(), literals.end(), [&](const std::string& literal) {
        return path.find(literal) != std::string::npos;
    });
}

class SetJudge {
public:
    explicit SetJudge(const SuggestionInput& input) : input_(input) {
        SplitIntoFolders();
        ShapeFileNames();
        MakeCandidates();
        SortBySpecificity();
        partSlots_.assign(folderFiles_.size() * parts_.size(), kUnread);
        for (const std::string& folder : folderPaths_) folderFilePaths_.push_back(folder + "\\x.x");
        // Folder by folder, so that each candidate's folders come in order,
        // each once.
        for (const std::vector<std::size_t>& files : folderFiles_) {
            for (std::size_t i : files) ReadFile(i);
        }
        alone_.assign(candidates_.size(), false);
    }

    std::vector<PatternSuggestion> RankSingly(std::size_t top) const {
        std::vector<std::pair<long, std::size_t>> scored;
        Chosen alone(candidates_.size(), false);
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            alone[c] = true;
            scored.push_back({Score(alone), c});
            alone[c] = false;
        }
        std::stable_sort(scored.begin(), scored.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<PatternSuggestion> ranked;
        for (const auto& s : scored) {
            if (ranked.size() == top) break;
            ranked.push_back(Describe(s.second));
        }
        return ranked;
    }

    // Each folder's best layout, then those of them that the plugin,
    // trying them in order, reads the most right with; a layout whose going
    // makes the whole read better goes.
    std::vector<PatternSuggestion> ChooseSet() const {
        std::vector<long> covered(candidates_.size(), 0);
        std::vector<std::size_t> used;
        for (std::size_t f = 0; f < folderFiles_.size(); ++f) {
            long value = 0;
            const std::size_t best = BestForFolder(f, value, used);
            if (best == candidates_.size()) continue;
            covered[best] += value;
            for (std::size_t c : used) covered[c] += c == best ? 0 : 1;
        }
        std::vector<std::size_t> byCover;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            if (covered[c] > 0) byCover.push_back(c);
        }
        std::stable_sort(byCover.begin(), byCover.end(),
                         [&](std::size_t a, std::size_t b) { return covered[a] > covered[b]; });
        if (byCover.size() > kMaxSetSize) byCover.resize(kMaxSetSize);
        Chosen chosen(candidates_.size(), false);
        for (std::size_t c : byCover) chosen[c] = true;
        DropWhatHurts(chosen);
        std::vector<PatternSuggestion> set;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            if (chosen[c]) set.push_back(Describe(c));
        }
        CountUses(chosen, set);
        return set;
    }

private:
    void SplitIntoFolders() {
        std::unordered_map<std::string_view, std::size_t> folderIndex;
        files_.resize(input_.paths.size());
        for (std::size_t i = 0; i < input_.paths.size(); ++i) {
            const std::string_view path = input_.paths[i];
            const std::size_t slash = path.rfind('\\');
            const std::string_view folder = path.substr(0, slash == path.npos ? 0 : slash);
            auto [it, added] = folderIndex.emplace(folder, folderFiles_.size());
            if (added) {
                folderFiles_.emplace_back();
                folderPaths_.emplace_back(folder);
            }
            folderFiles_[it->second].push_back(i);
            files_[i].folder = it->second;
        }
    }

    // Which file forms may fit each file's name: forms are tried once per
    // shape of name; what they read is worked out where a candidate asks.
    void ShapeFileNames() {
        std::unordered_map<std::string, std::uint64_t> fitsByShape;
        const std::vector<FileForm>& forms = FileForms();
        std::string stem;
        for (std::size_t i = 0; i < input_.paths.size(); ++i) {
            stem = StemOf(input_.paths[i]);
            auto [known, added] = fitsByShape.emplace(NameShape(stem), 0);
            for (std::size_t f = 0; added && f < forms.size(); ++f) {
                TagFields values;
                if (FormFitsName(forms[f], stem, values)) known->second |= std::uint64_t(1) << f;
            }
            files_[i].formsMayFit = known->second;
        }
    }

    // What a file form reads from the file's name; null where it does not
    // fit. A form names no folder, so it is read from the name alone.
    const NameReading* NameReadingOf(std::size_t i, std::size_t form) {
        FileEntry& file = files_[i];
        for (const auto& name : file.names) {
            if (name.first == form) return name.second ? &*name.second : nullptr;
        }
        if (file.names.empty()) file.names.reserve(std::size_t(std::popcount(file.formsMayFit)));
        TagFields values;
        Misfit why;
        const FileForm& f = FileForms()[form];
        std::optional<NameReading> reading;
        if (PathFits(f.pattern.c_str(), f.named, NameWithItsBackslash(input_.paths[i]), values,
                     why)) {
            reading = ReadNames(values);
        }
        file.names.push_back({form, std::move(reading)});
        return file.names.back().second ? &*file.names.back().second : nullptr;
    }

    // The folder parts each leaf folder's names call for, with every file
    // form that fits one of its files.
    void MakeCandidates() {
        std::unordered_map<std::string, std::size_t> partIndex;
        // For each shape of folder, its parts, by index; each part's forms
        // it may take, and those already made into candidates.
        std::unordered_map<std::string, std::vector<std::size_t>> partsByShape;
        std::vector<std::uint64_t> formsTaken;
        std::vector<std::uint64_t> formsMade;
        for (std::size_t folder = 0; folder < folderFiles_.size(); ++folder) {
            std::uint64_t fitting = 0;
            for (std::size_t i : folderFiles_[folder]) fitting |= files_[i].formsMayFit;
            const std::vector<std::string> names = NamesBelow(folderPaths_[folder]);
            auto [known, added] = partsByShape.emplace(LayoutShape(names), std::vector<std::size_t>());
            for (const FolderPart& part : added ? FolderPartsOf(names) : std::vector<FolderPart>()) {
                const std::size_t p = partIndex.emplace(part.pattern, parts_.size()).first->second;
                if (p == parts_.size()) {
                    parts_.push_back(part.pattern);
                    partNamed_.push_back(FieldsNamedBy(part.pattern.c_str()));
                    partLiterals_.push_back(LiteralsOf(part.pattern));
                    formsTaken.push_back(FormsTakenBy(part));
                    formsMade.push_back(0);
                }
                known->second.push_back(p);
            }
            for (std::size_t p : known->second) {
                std::uint64_t toMake = fitting & formsTaken[p] & ~formsMade[p];
                formsMade[p] |= toMake;
                for (std::size_t f = 0; toMake != 0; ++f, toMake >>= 1) {
                    if (!(toMake & 1)) continue;
                    Candidate c;
                    c.part = p;
                    c.form = f;
                    c.pattern = parts_[p] + FileForms()[f].pattern;
                    candidates_.push_back(std::move(c));
                }
            }
        }
    }

    // The file forms a folder part may go with.
    static std::uint64_t FormsTakenBy(const FolderPart& part) {
        std::uint64_t taken = 0;
        const std::vector<FileForm>& forms = FileForms();
        for (std::size_t f = 0; f < forms.size(); ++f) {
            if (forms[f].artistInName && !part.artistInName) continue;
            if (forms[f].numbered && !part.takesNumbered) continue;
            if (forms[f].compilationOnly && !part.compilation) continue;
            taken |= std::uint64_t(1) << f;
        }
        return taken;
    }

    // A folder's names below the input's folder; names at or above it are
    // the same for the whole tree and say nothing of its layout.
    std::vector<std::string> NamesBelow(const std::string& folder) const {
        if (folder.size() < input_.below) return {};
        return SplitNames(folder.substr(input_.below));
    }

    void SortBySpecificity() {
        std::stable_sort(candidates_.begin(), candidates_.end(),
                         [](const Candidate& a, const Candidate& b) {
                             return MoreSpecific(a.pattern, b.pattern);
                         });
        for (Candidate& c : candidates_) {
            c.named = FieldsNamedBy(c.pattern.c_str());
            c.readsPast = (c.named & (NamedFields(1) << int(TagToken::Title))) == 0 &&
                          c.pattern.find("[skip]") != std::string::npos;
            c.fields = FieldsRead(c.pattern);
            c.levels = std::size_t(std::count(c.pattern.begin(), c.pattern.end(), '\\'));
        }
    }

    // What a folder part reads from a leaf folder's whole path, the folders
    // above the input's included, as the plugin reads it; worked out the
    // first time a file there asks. A part ends with a backslash, which
    // stands for the file's name.
    const NameReading* FolderReading(std::size_t folder, std::size_t part) {
        std::size_t& slot = partSlots_[folder * parts_.size() + part];
        if (slot == kUnread) {
            TagFields values;
            Misfit why;
            slot = kNoFit;
            const std::string& path = folderFilePaths_[folder];
            if (!HoldsLiterals(path, partLiterals_[part])) return nullptr;
            if (parts_[part].empty() || PathFits(parts_[part].c_str(), partNamed_[part],
                                                 path.c_str(), values, why)) {
                slot = partReadings_.size();
                partReadings_.push_back(ReadNames(values));
            }
        }
        return slot == kNoFit ? nullptr : &partReadings_[slot];
    }

    // Every candidate on the file. Where a layout reads the file from more
    // of its folders, one that reads fewer has taken some folder for
    // another ("Album" read as the performer): such readings are suspect.
    void ReadFile(std::size_t i) {
        FileEntry& file = files_[i];
        const std::size_t depth = Depth(input_.paths[i]);
        std::size_t deepest = 0;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            Candidate& candidate = candidates_[c];
            if (!(file.formsMayFit & (std::uint64_t(1) << candidate.form))) continue;
            const NameReading* folder = FolderReading(file.folder, candidate.part);
            if (folder == nullptr) continue;
            const NameReading* name = NameReadingOf(i, candidate.form);
            if (name == nullptr || !Agree(*name, *folder)) continue;
            const bool suspect =
                candidate.levels > depth || Misplaced(*name, *folder, candidate.named);
            if (!suspect) deepest = std::max(deepest, candidate.levels);
            file.readings.push_back({c, name->trackNumber, folder->disc ? folder->disc : name->disc,
                                     suspect, name->titleHasDash});
            if (candidate.folders.empty() || candidate.folders.back() != file.folder) {
                candidate.folders.push_back(file.folder);
            }
        }
        for (Reading& r : file.readings) {
            r.suspect = r.suspect || candidates_[r.candidate].levels < deepest;
        }
    }

    // Folders below the input's folder that hold the file.
    std::size_t Depth(const std::string& path) const {
        return std::size_t(
            std::count(path.begin() + std::ptrdiff_t(input_.below), path.end(), '\\'));
    }

    long FileValue(std::size_t candidate) const { return long(candidates_[candidate].fields); }

    static const Reading* FirstChosen(const FileEntry& file, const Chosen& chosen) {
        for (const Reading& r : file.readings) {
            if (chosen[r.candidate]) return &r;
        }
        return nullptr;
    }

    FolderVerdict JudgeFolder(const Chosen& chosen, std::size_t folder) const {
        FolderVerdict verdict;
        tagged_.clear();
        for (std::size_t i : folderFiles_[folder]) {
            if (const Reading* r = FirstChosen(files_[i], chosen)) tagged_.push_back(r);
        }
        if (tagged_.empty()) return verdict;
        long value = 0;
        for (const Reading* r : tagged_) value += FileValue(r->candidate);
        if (LooksRight(folderFiles_[folder].size()) && !TitlesHoldPerformers()) {
            verdict.right = value;
        } else {
            verdict.wrong = value;
        }
        return verdict;
    }

    // One pattern for the whole folder (beside those that read past names
    // it would misread), distinct track numbers within a disc that look like
    // track numbers, nothing suspect.
    bool LooksRight(std::size_t folderSize) const {
        numbers_.clear();
        const Reading* main = nullptr;
        for (const Reading* r : tagged_) {
            if (r->suspect) return false;
            if (candidates_[r->candidate].readsPast) continue;
            if (main && r->candidate != main->candidate) return false;
            main = r;
        }
        for (const Reading* r : tagged_) {
            if (r->trackNumber == 0) continue;
            if (r->trackNumber >= 100 && folderSize < 100) return false;
            numbers_.push_back({r->disc, r->trackNumber});
        }
        std::sort(numbers_.begin(), numbers_.end());
        return std::adjacent_find(numbers_.begin(), numbers_.end()) == numbers_.end();
    }

    // Where most titles hold " - " and the pattern reads no performer, they
    // hold the performer: a compilation whose names the pattern misreads.
    bool TitlesHoldPerformers() const {
        const NamedFields artist = NamedFields(1) << int(TagToken::Artist);
        const auto main = std::find_if(tagged_.begin(), tagged_.end(), [&](const Reading* r) {
            return !candidates_[r->candidate].readsPast;
        });
        if (main == tagged_.end() || (candidates_[(*main)->candidate].named & artist)) return false;
        const auto dashes = std::count_if(tagged_.begin(), tagged_.end(),
                                          [](const Reading* r) { return r->titleHasDash; });
        return std::size_t(dashes) * 2 > tagged_.size();
    }

    // Only the folders a chosen layout fits have tagged files.
    long Score(const Chosen& chosen) const {
        Chosen touched(folderFiles_.size(), false);
        long score = 0;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            if (!chosen[c]) continue;
            for (std::size_t f : candidates_[c].folders) {
                if (touched[f]) continue;
                touched[f] = true;
                score += JudgeFolder(chosen, f).Score();
            }
        }
        return score;
    }

    // The layout that reads the folder best, alone or with those more
    // specific that read past names it would misread, and how well; those
    // it needs land in `used`. None (the candidates' count) when no layout
    // reads any of the folder right.
    std::size_t BestForFolder(std::size_t folder, long& value, std::vector<std::size_t>& used) const {
        std::vector<std::size_t>& tried = tried_;
        tried.clear();
        for (std::size_t i : folderFiles_[folder]) {
            for (const Reading& r : files_[i].readings) tried.push_back(r.candidate);
        }
        std::sort(tried.begin(), tried.end());
        tried.erase(std::unique(tried.begin(), tried.end()), tried.end());
        std::size_t best = candidates_.size();
        value = 0;
        for (std::size_t c : tried) {
            for (bool withPast : {false, true}) {
                alone_[c] = true;
                for (std::size_t b : tried) {
                    if (withPast && b < c && candidates_[b].readsPast) alone_[b] = true;
                }
                const long score = JudgeFolder(alone_, folder).Score();
                if (score > value) {
                    value = score;
                    best = c;
                    used.clear();
                    for (std::size_t i : folderFiles_[folder]) {
                        if (const Reading* r = FirstChosen(files_[i], alone_)) used.push_back(r->candidate);
                    }
                }
                for (std::size_t b : tried) alone_[b] = false;
            }
        }
        return best;
    }

    // Only the folders a layout fits change when it goes.
    void DropWhatHurts(Chosen& chosen) const {
        for (bool dropped = true; dropped;) {
            dropped = false;
            for (std::size_t c = 0; c < candidates_.size(); ++c) {
                if (!chosen[c]) continue;
                long with = 0;
                bool anyWrong = false;
                for (std::size_t f : candidates_[c].folders) {
                    const FolderVerdict verdict = JudgeFolder(chosen, f);
                    with += verdict.Score();
                    anyWrong = anyWrong || verdict.wrong > 0;
                }
                if (!anyWrong) continue;  // its going cannot make a folder right
                chosen[c] = false;
                long without = 0;
                for (std::size_t f : candidates_[c].folders) without += JudgeFolder(chosen, f).Score();
                if (without > with) {
                    dropped = true;
                } else {
                    chosen[c] = true;
                }
            }
        }
    }

    PatternSuggestion Describe(std::size_t c) const {
        PatternSuggestion s;
        s.pattern = candidates_[c].pattern;
        s.files = input_.paths.size();
        for (const FileEntry& file : files_) {
            for (const Reading& r : file.readings) s.fits += r.candidate == c;
        }
        s.values = s.fits * std::size_t(CountNamedFields(candidates_[c].named));
        return s;
    }

    // For each pattern of the set, the files for which the plugin, trying
    // the set in order, takes it: the first chosen that fits.
    void CountUses(const Chosen& chosen, std::vector<PatternSuggestion>& set) const {
        std::vector<std::size_t> uses(candidates_.size(), 0);
        for (const FileEntry& file : files_) {
            if (const Reading* r = FirstChosen(file, chosen)) ++uses[r->candidate];
        }
        std::size_t at = 0;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            if (chosen[c]) set[at++].used = uses[c];
        }
    }

    const SuggestionInput& input_;
    std::vector<std::vector<std::size_t>> folderFiles_;  // the files of each leaf folder
    std::vector<std::string> folderPaths_;
    std::vector<std::string> folderFilePaths_;  // a file's path in each, for folder parts
    std::vector<FileEntry> files_;
    std::vector<std::string> parts_;  // the candidates' folder parts
    std::vector<NamedFields> partNamed_;
    std::vector<std::vector<std::string>> partLiterals_;  // the texts between its tokens
    // What each folder part reads from each leaf folder where it fits:
    // partSlots_[folder * parts + part] indexes partReadings_.
    static constexpr std::size_t kUnread = std::size_t(-1);
    static constexpr std::size_t kNoFit = std::size_t(-2);
    std::vector<std::size_t> partSlots_;
    std::vector<NameReading> partReadings_;
    // Scratch space of the judgement, kept to spare an allocation a folder.
    mutable std::vector<const Reading*> tagged_;
    mutable std::vector<std::pair<std::int32_t, std::int32_t>> numbers_;
    mutable std::vector<std::size_t> tried_;
    mutable Chosen alone_;
    std::vector<Candidate> candidates_;
};

}  // namespace

std::vector<PatternSuggestion> SuggestPatterns(const SuggestionInput& input, std::size_t top) {
    return SetJudge(input).RankSingly(top);
}

std::vector<PatternSuggestion> SuggestSet(const SuggestionInput& input) {
    return SetJudge(input).ChooseSet();
}

const std::vector<std::string>& CommonAudioExtensions() {
    static const std::vector<std::string> extensions = {
        ".mp3", ".mp2", ".flac", ".ogg", ".oga", ".opus", ".m4a", ".aac", ".wma", ".wav",
        ".aif", ".aiff", ".ape", ".wv", ".mpc", ".alac", ".dsf", ".mka", ".spx", ".tta"};
    return extensions;
}

bool HasCommonAudioExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = path.substr(dot);
    for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    const auto& known = CommonAudioExtensions();
    return std::find(known.begin(), known.end(), extension) != known.end();
}
