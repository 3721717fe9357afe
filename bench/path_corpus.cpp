#include "bench/path_corpus.h"

#include <cstdio>

namespace {

// splitmix64: tiny, and unlike the standard distributions it gives the same
// sequence with every compiler and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t bound) { return std::size_t(Next() % bound); }
    bool Percent(std::size_t chance) { return Below(100) < chance; }

    template <std::size_t N>
    const char* Pick(const char* const (&choices)[N]) {
        return choices[Below(N)];
    }

private:
    std::uint64_t state_;
};

// Latin-1 bytes are written as escapes so that the source stays ASCII.
constexpr const char* kWords[] = {
    "Blue",     "Night",        "River",     "Stone",    "Golden",
    "Silent",   "Caf\xE9",      "M\xE4" "dchen", "Se\xF1or", "S\xF8ren",
    "Gr\xFC\xDF" "e", "Fa\xE7" "ade", "\xC6ther", "Lumi\xE8re", "Ni\xF1o",
    "Echo",     "Harbour",      "Paper",     "Winter",   "Velvet",
    "Morning",  "Glass",        "Tide",      "Orchard",  "Lantern",
    "Crow",     "Mirror",       "Static",    "Hollow",   "Ember",
};
constexpr const char* kJoinedNames[] = {
    "Jean-Luc", "Anne-Sophie", "Twenty-One", "Hip-Hop", "Rock-a-Billy",
};
constexpr const char* kTitleTails[] = {
    " (Live)", " (Remix)", " - Reprise", " Pt. 2", "-Intro", " (Demo)",
};
constexpr const char* kGenres[] = {
    "Jazz", "Rock", "Electronic", "Folk", "Chanson", "Klassik",
};
constexpr const char* kRoots[] = {
    "C:\\Music", "D:\\Rips", "E:\\Audio\\Collection",
    "C:\\Users\\J\xF6rg\\Music", "F:\\Archiv\\Musik\\CD",
};
constexpr const char* kExtensions[] = {".mp3", ".flac", ".ogg", ".wma", ".m4a"};

std::string Words(Random& random, std::size_t most) {
    std::string text = random.Pick(kWords);
    const std::size_t more = random.Below(most);
    for (std::size_t i = 0; i < more; ++i) {
        text += ' ';
        text += random.Pick(kWords);
    }
    return text;
}

std::string ArtistName(Random& random) {
    if (random.Percent(15)) return std::string(random.Pick(kJoinedNames)) + ' ' + Words(random, 2);
    return (random.Percent(20) ? "The " : "") + Words(random, 3);
}

std::string AlbumName(Random& random) {
    std::string album = Words(random, 4);
    if (random.Percent(10)) album += " Vol. 2";
    return album;
}

std::string Title(Random& random) {
    std::string title = Words(random, 5);
    if (random.Percent(15)) title += random.Pick(kTitleTails);
    return title;
}

std::string TrackNumber(Random& random) {
    char digits[8];
    const int number = int(random.Below(24)) + 1;
    std::snprintf(digits, sizeof digits, random.Percent(80) ? "%02d" : "%d", number);
    return digits;
}

std::string Year(Random& random) {
    return std::to_string(1960 + random.Below(64));
}

// The file's folder and name without extension, in one of the layouts that
// collections commonly use, weighted by how often they turn up.
std::string FolderAndName(Random& random) {
    const std::string root = random.Pick(kRoots);
    const std::string artist = ArtistName(random);
    const std::size_t layout = random.Below(100);
    if (layout < 30) {
        return root + '\\' + artist + '\\' + AlbumName(random) + '\\' +
               TrackNumber(random) + " - " + Title(random);
    }
    if (layout < 45) {
        return root + '\\' + artist + '\\' + AlbumName(random) + " (" + Year(random) +
               ")\\" + TrackNumber(random) + " - " + Title(random);
    }
    if (layout < 60) return root + '\\' + artist + " - " + Title(random);
    if (layout < 70) return root + '\\' + artist + '-' + Title(random);
    if (layout < 80) {  // track number glued to the title
        return root + '\\' + random.Pick(kGenres) + '\\' + artist + '\\' +
               AlbumName(random) + '\\' + TrackNumber(random) + Title(random);
    }
    if (layout < 90) {
        return root + '\\' + artist + '\\' + AlbumName(random) + '\\' + artist + '-' +
               TrackNumber(random) + '-' + Title(random);
    }
    if (layout < 95) return root + "\\Incoming\\" + Title(random);
    return root + '\\' + artist + '_' + Title(random);
}

}  // namespace

std::vector<std::string> MakePathCorpus(std::size_t count, std::uint64_t seed) {
    Random random(seed);
    std::vector<std::string> paths;
    paths.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string path = FolderAndName(random);
        if (!random.Percent(2)) path += random.Pick(kExtensions);
        paths.push_back(std::move(path));
    }
    return paths;
}
