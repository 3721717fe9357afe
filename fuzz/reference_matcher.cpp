// The matcher's rules written as plainly as possible: strings, one character
// at a time, in the order of the rules. The shipped matcher takes shortcuts
// for speed; this slow one is the yardstick the differential fuzz target
// holds it to, so it shares nothing with it but the number parsing and the
// field assignment.
#include "fuzz/reference_matcher.h"

#include <string>

namespace reference {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    return s;
}

struct Spelling {
    std::string text;
    TagToken token;
};

const Spelling kSpellings[] = {
    {"[artist]", TagToken::Artist}, {"[album]", TagToken::Album},
    {"[track]", TagToken::Title},   {"[genre]", TagToken::Genre},
    {"[year]", TagToken::Year},     {"[track number]", TagToken::TrackNumber},
    {"[skip]", TagToken::Skip},     {"[disc]", TagToken::Disc},
};

bool EndsWithDisc(const std::string& p, std::size_t end) {
    return end >= 6 && Lower(p.substr(end - 6, 6)) == "[disc]";
}

char Last(const std::string& s) { return s.empty() ? '\0' : s.back(); }
void DropLast(std::string& s) {
    if (!s.empty()) s.pop_back();
}


TagToken TakeTokenAtEnd(std::string& p) {
    const std::size_t open = p.rfind('[');
    if (open == std::string::npos) return TagToken::None;
    const std::string tail = p.substr(open);
    if (tail.find('\\') != std::string::npos) return TagToken::None;
    for (const Spelling& s : kSpellings) {
        if (Lower(tail) == s.text) {
            p.erase(open);
            return s.token;
        }
    }
    return TagToken::None;
}

bool ExtractNumber(const std::string& token, std::string& p, std::string& n,
                   std::int32_t& number) {
    const std::size_t at = p.find(token);
    if (at == std::string::npos) return false;
    // "[disc][track number]" is one number, split by the main pass.
    if (token == "[track number]" && EndsWithDisc(p, at)) return false;
    const char separator = at ? p[at - 1] : '\\';
    if (separator == ' ') return false;
    std::size_t count = 1;
    for (std::size_t i = at; i < p.size(); ++i) count += p[i] == separator;
    std::size_t i = n.size();
    while (count > 0) {
        if (i == 0) return false;
        if (n[--i] == separator) --count;
    }
    const std::size_t start = i + 1;
    number = ParseDecimal(n.data() + start, n.size() - start);
    std::size_t end = start;
    while (end < n.size() && n[end] >= '0' && n[end] <= '9') ++end;
    n.erase(start, end - start);
    p.erase(at, token.size());
    return true;
}

}  // namespace

TagFields Match(const char* pattern, const char* sourcePath) {
    TagFields f;
    std::string n = sourcePath;
    if (n.size() > kMaxMatchInput) return f;
    std::string p = std::string(pattern).substr(0, kMaxMatchInput);
    const std::size_t cut = n.find_last_of(".\\");
    if (cut != std::string::npos && n[cut] == '.') n.erase(cut);

    std::int32_t number = 0;
    if (ExtractNumber("[track number]", p, n, number)) f.trackNumber = number;
    if (ExtractNumber("[year]", p, n, number)) f.year = number;

    TagToken t = TagToken::None;
    bool glued = false;  // t is "[disc][track number]"
    std::string v;
    for (;;) {
        if (t == TagToken::None) {
            if (p.empty()) break;
            if (Last(p) == '\\') {
                const std::size_t slash = n.rfind('\\');
                if (slash != std::string::npos) n.erase(slash);
                if (Last(n) == ':') break;
            }
            if (Last(p) == ']') {
                t = TakeTokenAtEnd(p);
                if (t != TagToken::None) v.clear();
                glued = t == TagToken::TrackNumber && EndsWithDisc(p, p.size());
                if (glued) p.erase(p.size() - 6);
            }
        }
        if (n.empty()) break;
        if (t == TagToken::None) {
            if (!p.empty() && Last(p) == Last(n)) DropLast(n);
            DropLast(p);
            continue;
        }
        bool store = false;
        if (p.empty()) {
            store = Last(n) == '\\';
        } else if (Last(p) == Last(n)) {
            const bool blank = Last(p) == ' ';
            DropLast(p);
            store = !blank || Last(p) == ' ' || Last(p) == ']';
        }
        if (!store) {
            v.insert(v.begin(), Last(n));
            DropLast(n);
            continue;
        }
        if (glued && v.size() >= 3) {
            f.disc = ParseDecimal(v.data(), v.size() - 2);
            f.trackNumber = ParseDecimal(v.data() + v.size() - 2, 2);
        } else {
            StoreTagValue(f, t, v.data(), v.size());
        }
        v.clear();
        DropLast(n);
        t = TagToken::None;
    }
    return f;
}

}  // namespace reference
