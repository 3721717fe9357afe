#include "tagging/pattern_suggest.h"

#include <algorithm>

#include "tagging/tree_readings.h"

namespace {

// A folder whose tagged files are read by two patterns, or whose values do
// not look right, may be tagged wrong; that weighs this many times as much
// as the same read right.
constexpr long kWrongWeight = 4;

constexpr std::size_t kMaxSetSize = PatternChoice::kMaxPatterns;

// Which candidates a set holds, one flag each.
using Chosen = std::vector<char>;

// The tagged files of one folder, judged together: each file read right
// counts with the fields read from it, so that a layout that reads the
// title beats one that reads past it.
struct FolderVerdict {
    long right = 0;
    long wrong = 0;
    long Score() const { return right - kWrongWeight * wrong; }
};

class SetJudge {
public:
    explicit SetJudge(const SuggestionInput& input)
        : tree_(input), candidates_(tree_.Candidates()), files_(input.paths.size()) {
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
        for (std::size_t f = 0; f < tree_.FolderCount(); ++f) {
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
    long FileValue(std::size_t candidate) const { return long(candidates_[candidate].fields); }

    const Reading* FirstChosen(std::size_t file, const Chosen& chosen) const {
        for (const Reading& r : tree_.ReadingsOf(file)) {
            if (chosen[r.candidate]) return &r;
        }
        return nullptr;
    }

    FolderVerdict JudgeFolder(const Chosen& chosen, std::size_t folder) const {
        FolderVerdict verdict;
        tagged_.clear();
        for (std::size_t i : tree_.FilesOf(folder)) {
            if (const Reading* r = FirstChosen(i, chosen)) tagged_.push_back(r);
        }
        if (tagged_.empty()) return verdict;
        long value = 0;
        for (const Reading* r : tagged_) value += FileValue(r->candidate);
        if (LooksRight(tree_.FilesOf(folder).size()) && !TitlesHoldPerformers()) {
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
        Chosen touched(tree_.FolderCount(), false);
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
        for (std::size_t i : tree_.FilesOf(folder)) {
            for (const Reading& r : tree_.ReadingsOf(i)) tried.push_back(r.candidate);
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
                    for (std::size_t i : tree_.FilesOf(folder)) {
                        if (const Reading* r = FirstChosen(i, alone_)) used.push_back(r->candidate);
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
        s.files = files_;
        for (std::size_t i = 0; i < tree_.FileCount(); ++i) {
            for (const Reading& r : tree_.ReadingsOf(i)) s.fits += r.candidate == c;
        }
        s.values = s.fits * std::size_t(CountNamedFields(candidates_[c].named));
        return s;
    }

    // For each pattern of the set, the files for which the plugin, trying
    // the set in order, takes it: the first chosen that fits.
    void CountUses(const Chosen& chosen, std::vector<PatternSuggestion>& set) const {
        std::vector<std::size_t> uses(candidates_.size(), 0);
        for (std::size_t i = 0; i < tree_.FileCount(); ++i) {
            if (const Reading* r = FirstChosen(i, chosen)) ++uses[r->candidate];
        }
        std::size_t at = 0;
        for (std::size_t c = 0; c < candidates_.size(); ++c) {
            if (chosen[c]) set[at++].used = uses[c];
        }
    }

    TreeReadings tree_;
    const std::vector<Candidate>& candidates_;
    std::size_t files_;  // all files counted
    // Scratch space of the judgement, kept to spare an allocation a folder.
    mutable std::vector<const Reading*> tagged_;
    mutable std::vector<std::pair<std::int32_t, std::int32_t>> numbers_;
    mutable std::vector<std::size_t> tried_;
    mutable Chosen alone_;
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

std::string LowerCaseExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return ".";
    std::string extension = path.substr(dot);
    for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    return extension;
}

bool HasCommonAudioExtension(const std::string& path) {
    const auto& known = CommonAudioExtensions();
    return std::find(known.begin(), known.end(), LowerCaseExtension(path)) != known.end();
}
