// What every candidate layout reads from every file of a tree: the
// candidates made from the tree's names (tagging/layout_forms.h), and for
// each file the ones that fit it, with what the suggestions judge by. A
// reading is put together from what the candidate's folder part reads from
// the file's folder and its file form from the file's name, each worked out
// once where a candidate asks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tagging/layout_reading.h"
#include "tagging/pattern_fit.h"
#include "tagging/pattern_suggest.h"

// What the judgement needs of one candidate's reading of one file.
struct Reading {
    std::size_t candidate;
    std::int32_t trackNumber;
    std::int32_t disc;
    bool suspect;       // a value from at or above the folder, or from the wrong place
    bool titleHasDash;  // the title holds " - ", which may part a performer from it
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

// The candidates, most specific first (the order the plugin tries a
// set in), and each file's readings.
class TreeReadings {
public:
    explicit TreeReadings(const SuggestionInput& input);

    const std::vector<Candidate>& Candidates() const { return candidates_; }
    std::size_t FileCount() const { return files_.size(); }
    std::size_t FolderCount() const { return folderFiles_.size(); }
    // The files of one leaf folder.
    const std::vector<std::size_t>& FilesOf(std::size_t folder) const {
        return folderFiles_[folder];
    }
    // The candidates that fit a file, in candidate order.
    const std::vector<Reading>& ReadingsOf(std::size_t file) const { return files_[file].readings; }

private:
    struct FileEntry {
        std::size_t folder = 0;  // index into the leaf folders
        std::uint64_t formsMayFit = 0;  // a bit for each file form that fits the name's shape
        // What the file forms asked for read, by form; none where one does not fit.
        std::vector<std::pair<std::size_t, std::optional<NameReading>>> names;
        std::vector<Reading> readings;
    };

    void SplitIntoFolders();
    void ShapeFileNames();
    const NameReading* NameReadingOf(std::size_t i, std::size_t form);
    void MakeCandidates();
    std::vector<std::string> NamesBelow(const std::string& folder) const;
    void SortBySpecificity();
    const NameReading* FolderReading(std::size_t folder, std::size_t part);
    void ReadFile(std::size_t i);
    std::size_t Depth(const std::string& path) const;

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
    std::vector<Candidate> candidates_;
};
