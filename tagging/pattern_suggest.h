// Ranks candidate patterns against a collection: for each, the files it
// fits and the values it would read from them, so that the layout of a
// folder tree can be found from the tree itself.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PatternSuggestion {
    std::string pattern;
    std::size_t fits = 0;    // files the pattern fits
    std::size_t files = 0;   // all files tried
    std::size_t values = 0;  // fits x the fields the pattern names
};

// The layouts tried, in the order that breaks ties.
const std::vector<std::string>& CandidatePatterns();

// Every candidate tried on every path, most values first, then most fits,
// then the candidates' own order; at most top of them. Each path is the
// part below the folder, with a leading backslash, so that the names of the
// folder and those above it are never part of a layout.
std::vector<PatternSuggestion> SuggestPatterns(const std::vector<std::string>& relativePaths,
                                               std::size_t top);
