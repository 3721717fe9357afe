// pathtagger-preview: shows what a tag pattern extracts from paths before a
// conversion is run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tagging/pattern_check.h"
#include "tagging/pattern_suggest.h"
#include "tools/preview/file_walk.h"
#include "tools/preview/preview_output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: pathtagger-preview [--json] [--] PATTERN [PATH...]\n"
    "       pathtagger-preview --check [--] PATTERN\n"
    "       pathtagger-preview --suggest FOLDER [--top N]\n"
    "Shows what PATTERN reads from each PATH (no PATH: one path per line on\n"
    "standard input) and whether it fits; --json prints one object per line;\n"
    "--check lists what is easy to get wrong in the pattern; --suggest ranks\n"
    "layouts by what they read from the files below FOLDER, one line each:\n"
    "FITS<TAB>FILES<TAB>VALUES<TAB>PATTERN (exit 1: none fits any file).\n";

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

// "--suggest FOLDER [--top N]", the arguments after the program's name.
int Suggest(int argc, char** argv) {
    std::size_t top = 10;
    if (argc == 4 && std::strcmp(argv[2], "--top") == 0) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(argv[3], &end, 10);
        if (*argv[3] == '\0' || *end != '\0' || n == 0) return UsageError("--top takes a number from 1");
        top = n;
    } else if (argc != 2) {
        return UsageError("--suggest takes a folder and, after it, --top N");
    }
    std::vector<std::string> paths;
    if (!ListFilesBelow(argv[1], paths)) {
        std::fprintf(stderr, "pathtagger-preview: cannot read the folder \"%s\"\n", argv[1]);
        return 2;
    }
    const std::vector<PatternSuggestion> ranked = SuggestPatterns(paths, top);
    std::string out;
    for (const PatternSuggestion& s : ranked) {
        out += std::to_string(s.fits) + '\t' + std::to_string(s.files) + '\t' +
               std::to_string(s.values) + '\t' + s.pattern + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0) return 2;
    return !ranked.empty() && ranked.front().fits > 0 ? 0 : 1;
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
        } else {
            return UsageError(("unknown option \"" + std::string(argv[i]) + "\"").c_str());
        }
    }
    if (i >= argc) return UsageError("no pattern given");
    if (check && json) return UsageError("--check and --json do not go together");
    if (check && i + 1 != argc) return UsageError("--check takes only a pattern");
    const char* pattern = argv[i++];
    if (check) return PrintPatternWarnings(pattern);

    std::vector<std::string> paths(argv + i, argv + argc);
    const bool readAll = i < argc || ReadPathLines(paths);

    std::vector<PreviewResult> results;
    for (const std::string& path : paths) {
        results.push_back(PreviewPath(pattern, path));
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
