// Matching, natively: Match and the whole normalisation against PCRE2 with
// the JIT doing the same extraction, and against the floor, on the corpus.
// Each iteration handles the whole corpus; the counter seconds_per_path is
// CPU time per path, so time spent waiting for a core shared with other work
// does not count.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/path_corpus.h"
#include "bench/regex_tagger.h"
#include "hostenv/path_strings.h"
#include "tagging/pattern_fit.h"
#include "tagging/pattern_suggest.h"
#include "tagging/tag_pattern_matcher.h"
#include "tagging/tag_values.h"

namespace {

const std::vector<std::string>& Corpus() {
    static const std::vector<std::string> corpus = MakePathCorpus();
    return corpus;
}

void ReportPerPath(benchmark::State& state) {
    const double paths = double(Corpus().size());
    state.counters["seconds_per_path"] = benchmark::Counter(
        paths, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Also counts the allocations made by Match itself, not by the framework
// between iterations.
void MatchCorpus(benchmark::State& state, const BenchPattern* pattern) {
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const std::uint64_t before = AllocationCount();
        for (const std::string& path : Corpus()) {
            TagFields fields = Match(pattern->pattern, path.c_str());
            benchmark::DoNotOptimize(fields);
        }
        allocations += AllocationCount() - before;
    }
    ReportPerPath(state);
    state.counters["allocations_per_call"] = benchmark::Counter(
        double(allocations) / double(Corpus().size()), benchmark::Counter::kAvgIterations);
}

void NormaliseCorpus(benchmark::State& state, const BenchPattern* pattern) {
    for (auto _ : state) {
        for (const std::string& path : Corpus()) {
            TagFields fields = Match(pattern->pattern, path.c_str());
            NormaliseTagFields(fields);
            TagWritePlan plan = PlanTagWrites(fields);
            benchmark::DoNotOptimize(plan);
        }
    }
    ReportPerPath(state);
}

// What the plugin does per file now: the match and whether the pattern fits.
void FitCorpus(benchmark::State& state, const BenchPattern* pattern) {
    PatternChoice choice;
    choice.Put(0, pattern->pattern);
    for (auto _ : state) {
        for (const std::string& path : Corpus()) {
            TagFields fields;
            const bool write = MatchFirstThatFits(choice, path.c_str(), fields);
            benchmark::DoNotOptimize(write);
            benchmark::DoNotOptimize(fields);
        }
    }
    ReportPerPath(state);
}

// pathtagger-preview --suggest's work on 100,000 whole paths held in
// memory, below their drive's root.
const SuggestionInput& HundredThousandBelowRoot() {
    static const SuggestionInput input = [] {
        SuggestionInput made;
        made.paths = MakePathCorpus(100000);
        // One tree: every path below one folder, as the tool walks it.
        for (std::string& path : made.paths) path.replace(0, path.find('\\'), "C:");
        made.below = 3;
        return made;
    }();
    return input;
}

void SuggestHundredThousand(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<PatternSuggestion> ranked = SuggestPatterns(HundredThousandBelowRoot(), 10);
        benchmark::DoNotOptimize(ranked);
    }
    state.counters["seconds_per_run"] = benchmark::Counter(
        1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// pathtagger-preview --suggest --set on the same tree.
void SuggestSetHundredThousand(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<PatternSuggestion> set = SuggestSet(HundredThousandBelowRoot());
        benchmark::DoNotOptimize(set);
    }
    state.counters["seconds_per_run"] = benchmark::Counter(
        1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void RegexCorpus(benchmark::State& state, const BenchPattern* pattern) {
    RegexTagger tagger(*pattern);
    for (auto _ : state) {
        for (const std::string& path : Corpus()) {
            TagFields fields = tagger.Extract(path.c_str());
            benchmark::DoNotOptimize(fields);
        }
    }
    ReportPerPath(state);
}

// The least any matcher must do: take the path into a working buffer of its
// own and find where its extension starts.
void CopyFloor(benchmark::State& state) {
    char work[2 * kMaxPathText];
    for (auto _ : state) {
        for (const std::string& path : Corpus()) {
            const std::size_t length = std::strlen(path.c_str());
            std::memcpy(work, path.c_str(), length);
            benchmark::DoNotOptimize(work);
            std::size_t stem = StemLength(work, length);
            benchmark::DoNotOptimize(stem);
        }
    }
    ReportPerPath(state);
}

void RegisterAll() {
    for (const BenchPattern& pattern : kBenchPatterns) {
        const std::string name = pattern.name;
        benchmark::RegisterBenchmark(("match/" + name).c_str(), MatchCorpus, &pattern);
        benchmark::RegisterBenchmark(("pcre2_jit/" + name).c_str(), RegexCorpus, &pattern);
        benchmark::RegisterBenchmark(("normalise/" + name).c_str(), NormaliseCorpus,
                                     &pattern);
        benchmark::RegisterBenchmark(("fit/" + name).c_str(), FitCorpus, &pattern);
    }
    benchmark::RegisterBenchmark("copy_floor", CopyFloor);
    benchmark::RegisterBenchmark("suggest_set_100000_paths", SuggestSetHundredThousand)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("suggest_100000_paths", SuggestHundredThousand)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    Corpus();  // built before anything is timed or counted
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
