#include "bench/regex_tagger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "bench/path_corpus.h"

namespace {

std::string Describe(const TagFields& f) {
    return "artist '" + std::string(f.artist.CStr()) + "' album '" + f.album.CStr() +
           "' title '" + f.title.CStr() + "' genre '" + f.genre.CStr() + "' year " +
           std::to_string(f.year) + " track " + std::to_string(f.trackNumber);
}

std::size_t Depth(const std::string& path) {
    return std::size_t(std::count(path.begin(), path.end(), '\\'));
}

const std::vector<std::string>& Corpus() {
    static const std::vector<std::string> corpus = MakePathCorpus();
    return corpus;
}

TEST(PathCorpus, IsLargeReproducibleAndWithinTheMatcherLimit) {
    EXPECT_GE(Corpus().size(), 10000u);
    EXPECT_EQ(MakePathCorpus(), Corpus());
    EXPECT_NE(MakePathCorpus(kCorpusSize, kCorpusSeed + 1), Corpus());
    for (const std::string& path : Corpus()) {
        ASSERT_LE(path.size(), kMaxMatchInput) << path;
    }
}

TEST(PathCorpus, HasTheShapesOfARealCollection) {
    const auto& corpus = Corpus();
    const auto has = [&](auto predicate) {
        return std::any_of(corpus.begin(), corpus.end(), predicate);
    };
    EXPECT_TRUE(has([](const std::string& p) { return Depth(p) == 2; }));
    EXPECT_TRUE(has([](const std::string& p) { return Depth(p) >= 5; }));
    EXPECT_TRUE(has([](const std::string& p) {
        return std::any_of(p.begin(), p.end(), [](char c) { return (unsigned char)c >= 0xC0; });
    }));
    EXPECT_TRUE(has([](const std::string& p) { return p.find(" - ") != std::string::npos; }));
    EXPECT_TRUE(has([](const std::string& p) {  // a track number glued to its title
        const std::size_t name = p.rfind('\\') + 1;
        return name + 2 < p.size() && std::isdigit((unsigned char)p[name]) &&
               std::isalpha((unsigned char)p[name + 2]);
    }));
}

class RegexTaggerOnCorpus : public ::testing::TestWithParam<const BenchPattern*> {};

TEST_P(RegexTaggerOnCorpus, YieldsWhatMatchYields) {
    const BenchPattern& pattern = *GetParam();
    RegexTagger tagger(pattern);
    std::size_t mismatches = 0;
    for (const std::string& path : Corpus()) {
        const std::string expected = Describe(Match(pattern.pattern, path.c_str()));
        const std::string actual = Describe(tagger.Extract(path.c_str()));
        if (actual != expected && ++mismatches <= 5) {
            ADD_FAILURE() << path << "\n  Match: " << expected << "\n  regex: " << actual;
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    BenchPatterns, RegexTaggerOnCorpus,
    ::testing::Values(&kBenchPatterns[0], &kBenchPatterns[1], &kBenchPatterns[2],
                      &kBenchPatterns[3], &kBenchPatterns[4]),
    [](const auto& info) { return std::string(info.param->name); });

// The race means something only if the patterns do what they stand for.
std::size_t PathsWithTitle(const char* pattern) {
    return std::size_t(std::count_if(Corpus().begin(), Corpus().end(),
                                     [&](const std::string& path) {
                                         return !Match(pattern, path.c_str()).title.Empty();
                                     }));
}

TEST(BenchPatterns, MostFindATitleAndOneMostlyFails) {
    const std::size_t half = Corpus().size() / 2;
    for (const BenchPattern& pattern : kBenchPatterns) {
        if (std::strcmp(pattern.name, "mostly_fails") == 0) {
            EXPECT_LT(PathsWithTitle(pattern.pattern), Corpus().size() / 10);
        } else {
            EXPECT_GT(PathsWithTitle(pattern.pattern), half) << pattern.name;
        }
    }
}

}  // namespace
