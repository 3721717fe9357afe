// pathtagger-preview: shows what a tag pattern extracts from paths before a
// conversion is run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tagging/pattern_check.h"
#include "tagging/pattern_fit.h"
#include "tagging/pattern_suggest.h"
#include "tools/preview/file_walk.h"
#include "tools/preview/taggable_files.h"
#include "tools/preview/preview_output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: pathtagger-preview [--json] [--only-when-fits] [--fallback P]... [--] PATTERN [PATH...]\n"
    "       pathtagger-preview --check [--] PATTERN\n"
    "       pathtagger-preview --suggest FOLDER [--top N]\n"
    "       pathtagger-preview --suggest FOLDER --set\n"
    "Shows what the plugin reads from each PATH (no PATH: one path per line on\n"
    "standard input) with PATTERN and its fallbacks (tried in order, the first\n"
    "that fits is used) and what it would write; --only-when-fits writes\n"
    "nothing where none fits; --json prints one object per line. --check lists\n"
    "what is easy to get wrong in the pattern. --suggest ranks layouts by the\n"
    "files below FOLDER they read right, one line each:\n"
    "FITS<TAB>FILES<TAB>VALUES<TAB>PATTERN; with --set it proposes the pattern\n"
    "and its fallbacks, in the order the plugin tries them:\n"
    "USED<TAB>FILES<TAB>PATTERN (exit 1: nothing fits any file).\n";

// Asked for, the usage is the answer; after a mistake it is the error.
int Usage() {
    std::fputs(kUsage, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int UsageError(const char* what = nullptr) {
    if (what) std::fprintf(stderr, "pathtagger-preview: %s\n", what);
    std::fputs(kUsage, stderr);
    return 2;
}

// Splits standard input at LF; one trailing CR of each line goes.
bool ReadPathLines(std::vector<std::string>& paths) {
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF) {
        if (c != '\n') {
            line += char(c);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        paths.push_back(line);
        line.clear();
    }
    if (!line.empty()) {
        if (line.back() == '\r') line.pop_back();
        paths.push_back(line);
    }
    return !std::ferror(stdin);
}

// One "code<TAB>message" line per warning; a sound pattern prints nothing.
// The answer is the listing itself, so the status is 0 either way.
int PrintPatternWarnings(const char* pattern) {
    std::string out;
    for (const PatternWarning& w : CheckPattern(pattern)) {
        out += PatternWarningName(w.code);
        out += '\t';
        out += w.message;
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The files below the folder that the plugin would tag, as it sees them.
bool ListAudioFiles(const char* folder, SuggestionInput& input) {
    FolderListing listing;
    if (!ListFilesBelow(folder, listing)) {
        std::fprintf(stderr, "pathtagger-preview: cannot read the folder \"%s\"\n", folder);
        return false;
    }
    for (const std::string& unreadable : listing.unreadable) {
        std::fprintf(stderr, "pathtagger-preview: cannot read the folder \"%s\"; its files are not counted\n",
                     unreadable.c_str());
    }
    input.below = listing.below;
    TaggableFiles taggable;
    for (std::string& path : listing.paths) {
        if (taggable.Taggable(path)) input.paths.push_back(std::move(path));
    }
    return true;
}

int PrintSuggestions(const std::vector<PatternSuggestion>& suggestions, bool set) {
    std::string out;
    bool anyFits = false;
    for (const PatternSuggestion& s : suggestions) {
        anyFits = anyFits || s.fits > 0;
        out += set ? std::to_string(s.used) : std::to_string(s.fits);
        out += '\t' + std::to_string(s.files) + '\t';
        if (!set) out += std::to_string(s.values) + '\t';
        out += s.pattern + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0) return 2;
    return anyFits ? 0 : 1;
}

// "--suggest FOLDER [--top N | --set]", the arguments after the program's name.
int Suggest(int argc, char** argv) {
    std::size_t top = 10;
    bool set = false;
    if (argc == 3 && std::strcmp(argv[2], "--set") == 0) {
        set = true;
    } else if (argc == 4 && std::strcmp(argv[2], "--top") == 0) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(argv[3], &end, 10);
        if (*argv[3] == '\0' || *end != '\0' || n == 0) return UsageError("--top takes a number from 1");
        top = n;
    } else if (argc != 2) {
        return UsageError("--suggest takes a folder and, after it, --top N or --set");
    }
    SuggestionInput input;
    if (!ListAudioFiles(argv[1], input)) return 2;
    return PrintSuggestions(set ? SuggestSet(input) : SuggestPatterns(input, top), set);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes in, bytes out: no CRLF translation.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc > 1 && std::strcmp(argv[1], "--suggest") == 0) return Suggest(argc - 1, argv + 1);
    bool json = false;
    bool check = false;
    PatternChoice choice;
    std::vector<const char*> fallbacks;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return Usage();
        } else if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--check") == 0) {
            check = true;
        } else if (std::strcmp(argv[i], "--only-when-fits") == 0) {
            choice.onlyWhenFits = true;
        } else if (std::strcmp(argv[i], "--fallback") == 0) {
            if (++i >= argc) return UsageError("--fallback takes a pattern");
            if (fallbacks.size() + 1 == PatternChoice::kMaxPatterns) {
                return UsageError("at most eight fallbacks");
            }
            fallbacks.push_back(argv[i]);
        } else {
            return UsageError(("unknown option \"" + std::string(argv[i]) + "\"").c_str());
        }
    }
    if (i >= argc) return UsageError("no pattern given");
    if (check && json) return UsageError("--check and --json do not go together");
    if (check && i + 1 != argc) return UsageError("--check takes only a pattern");
    const char* pattern = argv[i++];
    if (check) {
        if (!fallbacks.empty() || choice.onlyWhenFits) {
            return UsageError("--check takes only a pattern");
        }
        return PrintPatternWarnings(pattern);
    }
    choice.Put(0, pattern);
    for (std::size_t f = 0; f < fallbacks.size(); ++f) choice.Put(f + 1, fallbacks[f]);

    std::vector<std::string> paths(argv + i, argv + argc);
    const bool readAll = i < argc || ReadPathLines(paths);

    std::vector<PreviewResult> results;
    for (const std::string& path : paths) {
        results.push_back(PreviewPath(choice, path));
        if (json) {
            std::string line = FormatJsonLine(results.back());
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), stdout);
            results.clear();
        }
    }
    if (!json) {
        const std::string table = FormatTable(results);
        std::fwrite(table.data(), 1, table.size(), stdout);
    }
    if (std::fflush(stdout) != 0) return 1;
    if (!readAll) {
        std::fputs("pathtagger-preview: could not read standard input\n", stderr);
        return 1;
    }
    return 0;
}
