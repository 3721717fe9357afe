#include "tagging/pattern_check.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "tagging/tag_pattern_matcher.h"

namespace {

// One bracketed word of the pattern: from a "[" to the next "]" with no other
// "[" and no backslash between, which is how far the matcher looks back for
// a token.
struct Group {
    std::size_t start = 0;
    std::size_t end = 0;  // just past the "]"
    TagToken token = TagToken::None;
    bool lowerCase = false;   // spelled exactly as the digit search looks for it
    bool searched = false;    // its digits are taken out before the main pass
};

struct Warning {
    std::size_t place;
    PatternWarning warning;
};

class PatternReader {
public:
    explicit PatternReader(std::string_view pattern) : pattern_(pattern) {
        FindGroups();
        SearchDigits(TagToken::TrackNumber);
        SearchDigits(TagToken::Year);
    }

    void Check(std::vector<Warning>& out) const {
        for (const Group& g : groups_) {
            if (g.token == TagToken::None) CheckNotAToken(g, out);
        }
        for (const Group& g : groups_) {
            if (g.token == TagToken::None || g.searched) continue;
            CheckAdjacent(g, out);
            CheckDigits(g, out);
        }
        CheckRepeated(out);
    }

private:
    std::string Text(const Group& g) const {
        return std::string(pattern_.substr(g.start, g.end - g.start));
    }

    void FindGroups() {
        std::size_t open = std::string_view::npos;
        for (std::size_t i = 0; i < pattern_.size(); ++i) {
            const char c = pattern_[i];
            if (c == '[') open = i;
            if (c == '\\') open = std::string_view::npos;
            if (c != ']' || open == std::string_view::npos) continue;
            Group g;
            g.start = open;
            g.end = i + 1;
            g.token = RecogniseToken(pattern_.data() + open, g.end - open);
            g.lowerCase = Text(g) == SpellingOfToken(g.token);
            groups_.push_back(g);
            open = std::string_view::npos;
        }
    }

    const Group* GroupEndingAt(std::size_t end) const {
        for (const Group& g : groups_) {
            if (g.end == end) return &g;
        }
        return nullptr;
    }

    // Where the text before a place ends once the digit search has taken its
    // tokens out.
    std::size_t EndBefore(std::size_t place) const {
        for (const Group* g; place > 0 && (g = GroupEndingAt(place)) && g->searched;) {
            place = g->start;
        }
        return place;
    }

    // A backslash at the pattern's start, as the digit search reads it.
    char CharBefore(std::size_t place) const {
        place = EndBefore(place);
        return place > 0 ? pattern_[place - 1] : '\\';
    }

    const Group* FirstLowerCase(TagToken token) const {
        for (const Group& g : groups_) {
            if (g.token == token && g.lowerCase) return &g;
        }
        return nullptr;
    }

    // The search counts the separator before the token from there to the
    // pattern's end and expects as many in the name. Separators inside the
    // tokens' own spellings have no counterpart in a name, so then the search
    // fails ("]" before the token is the common case).
    bool SeparatorOnlyInLiterals(char separator, std::size_t from) const {
        for (const Group& g : groups_) {
            if (g.start < from || g.token == TagToken::None || g.searched) continue;
            if (Text(g).find(separator) != std::string::npos) return false;
        }
        return true;
    }

    // The digit search looks only at the first occurrence spelled in lower
    // case, and not at all after a blank.
    void SearchDigits(TagToken token) {
        const Group* first = FirstLowerCase(token);
        if (!first) return;
        const char separator = CharBefore(first->start);
        if (separator == ' ' || !SeparatorOnlyInLiterals(separator, first->start)) return;
        groups_[std::size_t(first - groups_.data())].searched = true;
    }

    void CheckNotAToken(const Group& g, std::vector<Warning>& out) const;
    void CheckAdjacent(const Group& g, std::vector<Warning>& out) const;
    void CheckDigits(const Group& g, std::vector<Warning>& out) const;
    void CheckRepeated(std::vector<Warning>& out) const;

    std::string_view pattern_;
    std::vector<Group> groups_;
};

// Words people write for a token, with what to say about each.
struct Suggestion {
    const char* word;  // lower case, blanks and underscores left out
    const char* advice;
};

constexpr Suggestion kSuggestions[] = {
    {"title", "the title is [track]"},
    {"song", "the title is [track]"},
    {"name", "the title is [track]"},
    {"tracknumber", "did you mean [track number]?"},
    {"tracknr", "did you mean [track number]?"},
    {"trackno", "did you mean [track number]?"},
    {"number", "did you mean [track number]?"},
    {"track#", "did you mean [track number]?"},
    {"no", "did you mean [track number]?"},
    {"nr", "did you mean [track number]?"},
    {"num", "did you mean [track number]?"},
    {"date", "did you mean [year]?"},
    {"band", "did you mean [artist]?"},
    {"performer", "did you mean [artist]?"},
    {"interpret", "did you mean [artist]?"},
};

// The word inside the brackets in lower case, without blanks and underscores,
// so that "Track_Number" and "track number" read alike.
std::string Squeeze(std::string_view bracketed) {
    std::string word;
    for (char c : bracketed.substr(1, bracketed.size() - 2)) {
        if (c == ' ' || c == '_') continue;
        word += (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
    }
    return word;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A known word first; otherwise a token at most two edits away (a typing
// slip such as "[artits]"); otherwise nothing.
std::string Advice(std::string_view bracketed) {
    const std::string word = Squeeze(bracketed);
    for (const Suggestion& s : kSuggestions) {
        if (word == s.word) return s.advice;
    }
    for (int t = int(TagToken::Artist); t <= int(TagToken::TrackNumber); ++t) {
        const std::string_view spelling = SpellingOfToken(TagToken(t));
        if (EditDistance(word, Squeeze(spelling)) <= 2) {
            return "did you mean " + std::string(spelling) + "?";
        }
    }
    return "";
}

void Add(std::vector<Warning>& out, std::size_t place, PatternWarningCode code,
         std::string message) {
    out.push_back({place, {code, std::move(message)}});
}

void PatternReader::CheckNotAToken(const Group& g, std::vector<Warning>& out) const {
    const std::string text = Text(g);
    if (std::none_of(text.begin(), text.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        })) {
        return;
    }
    std::string message = text + " is not a token; it is matched as plain characters";
    const std::string advice = Advice(text);
    if (!advice.empty()) message += "; " + advice;
    Add(out, g.start, PatternWarningCode::NotAToken, message);
}

void PatternReader::CheckAdjacent(const Group& g, std::vector<Warning>& out) const {
    if (CharBefore(g.start) != ']') return;
    const Group* previous = GroupEndingAt(EndBefore(g.start));
    const std::string follows = previous ? Text(*previous) : "\"]\"";
    Add(out, g.start, PatternWarningCode::AdjacentTokens,
        Text(g) + " directly follows " + follows +
            ": its value can end only at a \"]\" in the name, so it is never stored,"
            " nor is any token before it; put a separator between them");
}

void PatternReader::CheckDigits(const Group& g, std::vector<Warning>& out) const {
    if (g.token != TagToken::Year && g.token != TagToken::TrackNumber) return;
    std::string reason;
    if (!g.lowerCase) {
        reason = " is not written in lower case";
    } else if (&g == FirstLowerCase(g.token) && CharBefore(g.start) == ' ') {
        reason = " follows a blank";
    } else {
        return;
    }
    Add(out, g.start, PatternWarningCode::DigitsNotSearched,
        Text(g) + reason +
            ", so its digits are not searched first: it takes a whole value like a"
            " text token, and a number glued to the text after it is not found");
}

const char* Ordinal(std::size_t n) {
    static const char* const kOrdinals[] = {"first", "second", "third", "fourth", "fifth"};
    return n < 5 ? kOrdinals[n] : "a later";
}

void PatternReader::CheckRepeated(std::vector<Warning>& out) const {
    for (int t = int(TagToken::Artist); t <= int(TagToken::TrackNumber); ++t) {
        std::vector<const Group*> uses;
        for (const Group& g : groups_) {
            if (g.token == TagToken(t)) uses.push_back(&g);
        }
        if (uses.size() < 2) continue;
        // Tokens are filled from the pattern's end, so the one nearest its
        // start is stored last; a number whose digits were searched first is
        // stored before all of them and so is replaced.
        std::size_t winner = 0;
        while (uses[winner]->searched) ++winner;
        std::string message = std::string(SpellingOfToken(TagToken(t))) + " appears " +
                              std::to_string(uses.size()) + " times; the " +
                              Ordinal(winner) + " one's value is the one stored";
        if (winner > 0) message += " (the first one's digits are searched first, then replaced)";
        Add(out, uses[1]->start, PatternWarningCode::RepeatedToken, message);
    }
}

}  // namespace

const char* PatternWarningName(PatternWarningCode code) {
    switch (code) {
        case PatternWarningCode::Empty: return "empty";
        case PatternWarningCode::TooLong: return "too-long";
        case PatternWarningCode::NotAToken: return "not-a-token";
        case PatternWarningCode::AdjacentTokens: return "adjacent-tokens";
        case PatternWarningCode::RepeatedToken: return "repeated-token";
        case PatternWarningCode::DigitsNotSearched: return "digits-not-searched";
    }
    return "";
}

std::vector<PatternWarning> CheckPattern(const char* pattern) {
    const std::size_t length = std::strlen(pattern);
    if (length == 0) {
        return {{PatternWarningCode::Empty,
                 "the pattern is empty: it reads nothing from any path, so no file is tagged"}};
    }
    // The setting and the matcher keep the first 259 characters; what they
    // keep is what is checked.
    const std::size_t kept = std::min(length, kMaxMatchInput);
    std::vector<Warning> found;
    PatternReader(std::string_view(pattern, kept)).Check(found);
    std::stable_sort(found.begin(), found.end(), [](const Warning& a, const Warning& b) {
        return a.place < b.place;
    });

    std::vector<PatternWarning> warnings;
    if (length > kept) {
        warnings.push_back({PatternWarningCode::TooLong,
                            "the pattern has " + std::to_string(length) +
                                " characters; only the first " + std::to_string(kept) +
                                " are kept, the rest (\"" + std::string(pattern + kept) +
                                "\") is cut"});
    }
    for (Warning& w : found) warnings.push_back(std::move(w.warning));
    return warnings;
}
