// Finds the layout of a folder tree from the tree itself: candidate patterns
// are made from the forms its folder and file names take (number forms,
// separators, years, disc folders, compilation folders), and judged by the
// files they would read right, as the plugin would read them.
//
// A file counts as read right when a pattern fits it and its folder agrees:
// every file of the folder that gets tagged is read by the same pattern,
// the track numbers of one disc are distinct and look like track numbers,
// and no text value begins with a separator. A folder that disagrees counts
// its tagged files as read wrong, which outweighs many read right.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PatternSuggestion {
    std::string pattern;
    std::size_t fits = 0;    // files the pattern fits
    std::size_t files = 0;   // all files counted
    std::size_t values = 0;  // fits x the fields the pattern names
    std::size_t used = 0;    // in a set: files for which it is the first that fits
};

// The files to judge: whole paths, as the plugin sees them, each beginning
// with the same folder; `below` is where, in every path, the part below
// that folder begins (just after its backslash). Only that part is read for
// layouts: names at or above the folder are the same for the whole tree.
struct SuggestionInput {
    std::vector<std::string> paths;
    std::size_t below = 0;
};

// Each layout alone, best judged first, at most top of them.
std::vector<PatternSuggestion> SuggestPatterns(const SuggestionInput& input, std::size_t top);

// The pattern and up to eight fallbacks, in the order the plugin tries
// them, the fewest that read the most files right; empty when no pattern
// fits any file.
std::vector<PatternSuggestion> SuggestSet(const SuggestionInput& input);

// Extensions counted where the host's decoders are not known, with the dot,
// in lower case: ".mp3", ".flac", and the like.
const std::vector<std::string>& CommonAudioExtensions();
// A path's extension in lower case, with its dot; "." for a name without one.
std::string LowerCaseExtension(const std::string& path);
// Whether a path ends in one of them (in any letter case).
bool HasCommonAudioExtension(const std::string& path);
