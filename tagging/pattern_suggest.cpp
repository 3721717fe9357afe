#include "tagging/pattern_suggest.h"

#include <algorithm>

#include "tagging/pattern_fit.h"
#include "tagging/tag_pattern_matcher.h"

const std::vector<std::string>& CandidatePatterns() {
    static const std::vector<std::string> candidates = {
        "[artist] - [track]",
        "[artist]-[track]",
        "[track number] - [track]",
        "[track number]. [track]",
        "[track number] [track]",
        "[artist] - [album] - [track number] - [track]",
        "[artist] - [track number] - [track]",
        "[artist]\\[track number] - [track]",
        "[artist]\\[album]\\[track number] - [track]",
        "[artist]\\[album]\\[track number]. [track]",
        "[artist]\\[album]\\[track number] [track]",
        "[artist]\\[album] ([year])\\[track number] - [track]",
        "[artist]\\[year] - [album]\\[track number] - [track]",
        "[artist] - [album]\\[track number] - [track]",
        "[genre]\\[artist]\\[album]\\[track number] - [track]",
        "[album]\\[track number] - [track]",
        "[artist]\\[album]\\[track]",
        "[artist]\\[track]",
    };
    return candidates;
}

namespace {

PatternSuggestion Try(const std::string& pattern, const std::vector<std::string>& paths) {
    PatternSuggestion s;
    s.pattern = pattern;
    s.files = paths.size();
    const NamedFields named = FieldsNamedBy(pattern.c_str());
    for (const std::string& path : paths) {
        if (FieldsFill(named, Match(pattern.c_str(), path.c_str()))) ++s.fits;
    }
    s.values = s.fits * std::size_t(CountNamedFields(named));
    return s;
}

}  // namespace

std::vector<PatternSuggestion> SuggestPatterns(const std::vector<std::string>& relativePaths,
                                               std::size_t top) {
    std::vector<PatternSuggestion> ranked;
    for (const std::string& pattern : CandidatePatterns()) {
        ranked.push_back(Try(pattern, relativePaths));
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const PatternSuggestion& a, const PatternSuggestion& b) {
                         if (a.values != b.values) return a.values > b.values;
                         return a.fits > b.fits;
                     });
    if (ranked.size() > top) ranked.resize(top);
    return ranked;
}
