#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/path_corpus.h"
#include "bench/regex_tagger.h"

namespace {

TEST(AllocationCounter, CountsOperatorNew) {
    const std::uint64_t before = AllocationCount();
    auto block = std::make_unique<int>(7);
    EXPECT_EQ(AllocationCount(), before + 1);
    EXPECT_EQ(*block, 7);
}

TEST(Match, AllocatesNothingOnTheWholeCorpus) {
    const std::vector<std::string> corpus = MakePathCorpus();
    std::size_t titles = 0;
    const std::uint64_t before = AllocationCount();
    for (const BenchPattern& pattern : kBenchPatterns) {
        for (const std::string& path : corpus) {
            titles += !Match(pattern.pattern, path.c_str()).title.Empty();
        }
    }
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_GT(titles, 0u);
}

}  // namespace
