// A reproducible corpus of source paths as a music collection holds them:
// several folder depths, names with blanks and dashes, glued track numbers,
// Latin-1 letters, the odd dot in a folder name and the odd file without an
// extension. The same seed always gives the same paths, so figures from
// different runs and machines describe the same work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t kCorpusSize = 12000;
constexpr std::uint64_t kCorpusSeed = 20240611;

std::vector<std::string> MakePathCorpus(std::size_t count = kCorpusSize,
                                        std::uint64_t seed = kCorpusSeed);
