// pathtagger-preview: shows what a tag pattern extracts from paths before a
// conversion is run.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/preview/preview_output.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: pathtagger-preview [--json] [--] PATTERN [PATH...]"
    " (no PATH: one path per line on standard input)\n";

int UsageError() {
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

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes in, bytes out: no CRLF translation.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    bool json = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "--json") != 0) return UsageError();
        json = true;
    }
    if (i >= argc) return UsageError();
    const char* pattern = argv[i++];

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
