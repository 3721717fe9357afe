#include "tagging/tree_readings.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <unordered_map>

#include "tagging/layout_forms.h"

namespace {

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

// The file forms a folder part may go with.
std::uint64_t FormsTakenBy(const FolderPart& part) {
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

}  // namespace

TreeReadings::TreeReadings(const SuggestionInput& input) : input_(input) {
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
}

void TreeReadings::SplitIntoFolders() {
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
void TreeReadings::ShapeFileNames() {
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
const NameReading* TreeReadings::NameReadingOf(std::size_t i, std::size_t form) {
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
void TreeReadings::MakeCandidates() {
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


// A folder's names below the input's folder; names at or above it are
// the same for the whole tree and say nothing of its layout.
std::vector<std::string> TreeReadings::NamesBelow(const std::string& folder) const {
    if (folder.size() < input_.below) return {};
    return SplitNames(folder.substr(input_.below));
}

void TreeReadings::SortBySpecificity() {
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
const NameReading* TreeReadings::FolderReading(std::size_t folder, std::size_t part) {
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
void TreeReadings::ReadFile(std::size_t i) {
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
std::size_t TreeReadings::Depth(const std::string& path) const {
    return std::size_t(
        std::count(path.begin() + std::ptrdiff_t(input_.below), path.end(), '\\'));
}
