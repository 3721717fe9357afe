#include "tagging/pattern_check.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "tagging/tag_pattern_matcher.h"
#include "tagging/tag_values.h"

namespace {

// One bracketed word of the pattern: from a "[" to the next "]" with no other
// "[" and no backslash between, which is how far the matcher looks back for
// a token.
struct Group {
    std::size_t start = 0;
    std::size_t end = 0;  // just past the "]"
    TagToken token = TagToken::None;
    int occurrence = 0;  // how many groups of the same token come before it
};

struct Warning {
    std::size_t place;
    PatternWarning warning;
};

constexpr int kTokenCount = int(TagToken::Disc) + 1;

// What a token fills, as the user sees it in the host.
const char* FieldName(TagToken token) {
    switch (token) {
        case TagToken::Artist: return "Artist";
        case TagToken::Album: return "Album";
        case TagToken::Title: return "Title";
        case TagToken::Genre: return "Genre";
        case TagToken::Year: return "Year";
        case TagToken::TrackNumber: return "Track";
        case TagToken::Disc: return "Disc";
        case TagToken::Skip:
        case TagToken::None: break;
    }
    return "";
}

// The value written for the k-th occurrence of a token: a plain word, or a
// number as file names carry it. None holds a blank or a separator, so a
// sound pattern reads every one of them back.
std::string SampleValue(TagToken token, int k) {
    const std::string suffix(1, char('A' + k % 26));
    switch (token) {
        case TagToken::Artist: return "Band" + suffix;
        case TagToken::Album: return "Album" + suffix;
        case TagToken::Title: return "Song" + suffix;
        case TagToken::Genre: return "Jazz" + suffix;
        case TagToken::Year: return std::to_string(1991 + k % 9);
        case TagToken::TrackNumber: return "0" + std::to_string(1 + k % 9);
        case TagToken::Disc: return std::to_string(1 + k % 9);
        case TagToken::Skip: return "Extra" + suffix;
        case TagToken::None: break;
    }
    return "";
}

bool IsNumber(TagToken token) {
    return token == TagToken::Year || token == TagToken::TrackNumber || token == TagToken::Disc;
}

// A field's value after cleaning, as a text; empty when absent.
std::string ValueOf(const TagFields& f, TagToken token) {
    switch (token) {
        case TagToken::Artist: return f.artist.CStr();
        case TagToken::Album: return f.album.CStr();
        case TagToken::Title: return f.title.CStr();
        case TagToken::Genre: return f.genre.CStr();
        case TagToken::Year: return f.year ? std::to_string(f.year) : "";
        case TagToken::TrackNumber: return f.trackNumber ? std::to_string(f.trackNumber) : "";
        case TagToken::Disc: return f.disc ? std::to_string(f.disc) : "";
        case TagToken::Skip:
        case TagToken::None: break;
    }
    return "";
}

// The sample as the cleaned field holds it: a number without its zeros.
std::string AsStored(TagToken token, const std::string& sample) {
    if (!IsNumber(token)) return sample;
    return std::to_string(ParseDecimal(sample.c_str(), sample.size()));
}

class PatternReader {
public:
    explicit PatternReader(std::string_view pattern) : pattern_(pattern) {
        FindGroups();
        ReadWrittenOut("");
        // A number's digits are found by counting the character before its
        // token in the name; where that is a letter or digit, words hold it
        // too ("Nr[track number]" and a title "Rare Error"). Such names are
        // tried when plain ones read well.
        for (const Group& g : groups_) {
            if (AnyMisread()) break;
            const bool number = g.token == TagToken::Year || g.token == TagToken::TrackNumber;
            const char before = g.start > 0 ? pattern_[g.start - 1] : '\\';
            if (!number || !std::isalnum(static_cast<unsigned char>(before))) continue;
            const std::size_t count = std::size_t(std::count(pattern_.begin(), pattern_.end(), before));
            ReadWrittenOut(std::string(count + 1, before));
        }
        if (!AnyMisread()) ReadWrittenOut("");
    }

    void Check(std::vector<Warning>& out) const {
        for (const Group& g : groups_) {
            if (g.token == TagToken::None) CheckNotAToken(g, out);
        }
        CheckMisreads(out);
        CheckRepeated(out);
    }

private:
    std::string Text(const Group& g) const {
        return std::string(pattern_.substr(g.start, g.end - g.start));
    }

    void FindGroups() {
        int seen[kTokenCount] = {};
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
            g.occurrence = seen[int(g.token)]++;
            groups_.push_back(g);
            open = std::string_view::npos;
        }
    }

    // The pattern written out as a file name, every token replaced by its
    // sample value and everything else as it stands, and what the matcher
    // reads back from it: the warnings about values come from the matcher
    // itself, so they cannot drift from it.
    void ReadWrittenOut(const std::string& textSuffix) {
        textSuffix_ = textSuffix;
        sample_ = "C:\\Music\\";
        std::size_t at = 0;
        for (const Group& g : groups_) {
            if (g.token == TagToken::None) continue;
            sample_.append(pattern_.substr(at, g.start - at));
            sample_ += Sample(g.token, g.occurrence);
            at = g.end;
        }
        sample_.append(pattern_.substr(at));
        sample_ += ".mp3";
        read_ = Match(std::string(pattern_).c_str(), sample_.c_str());
        NormaliseTagFields(read_);
    }

    // Which occurrence's value the field holds; -1 for none of them.
    int OccurrenceRead(TagToken token) const {
        const std::string value = ValueOf(read_, token);
        for (const Group& g : groups_) {
            if (g.token == token && AsStored(token, Sample(token, g.occurrence)) == value) {
                return g.occurrence;
            }
        }
        return -1;
    }

    std::string Sample(TagToken token, int k) const {
        const bool number = IsNumber(token);
        return SampleValue(token, k) + (number ? "" : textSuffix_);
    }

    // A name written out longer than the host's paths is no file it could
    // tag, so it says nothing about the pattern.
    bool Writable() const { return sample_.size() <= kMaxMatchInput; }

    bool AnyMisread() const {
        return std::any_of(groups_.begin(), groups_.end(),
                           [this](const Group& g) { return Misread(g); });
    }

    // A field given twice is misread once, at its first occurrence. Skipped
    // text is read into no field, so it cannot be misread.
    bool Misread(const Group& g) const {
        return Writable() && g.token != TagToken::None && g.token != TagToken::Skip &&
               g.occurrence == 0 &&
               OccurrenceRead(g.token) < 0;
    }

    // "Artist would be "Music", not "BandA"" for a misread token.
    std::string WhatIsRead(const Group& g) const {
        const std::string value = ValueOf(read_, g.token);
        const std::string wanted = AsStored(g.token, Sample(g.token, 0));
        return std::string(FieldName(g.token)) + " would be " +
               (value.empty() ? "empty" : "\"" + value + "\"") + ", not \"" + wanted + "\"";
    }

    // The misreads of the groups [first, last], joined.
    std::string WhatIsRead(std::size_t first, std::size_t last) const {
        std::string text;
        for (std::size_t i = first; i <= last; ++i) {
            if (!Misread(groups_[i])) continue;
            text += (text.empty() ? "" : ", ") + WhatIsRead(groups_[i]);
        }
        return text;
    }

    // Why the matcher does not search a number token's digits first, or "".
    std::string DigitsNotSearched(const Group& g) const {
        if (g.token != TagToken::Year && g.token != TagToken::TrackNumber) return "";
        if (Text(g) != SpellingOfToken(g.token)) return " is not written in lower case";
        if (g.start > 0 && pattern_[g.start - 1] == ' ') return " follows a blank";
        return "";
    }

    void CheckNotAToken(const Group& g, std::vector<Warning>& out) const;
    void CheckMisreads(std::vector<Warning>& out) const;
    void CheckRepeated(std::vector<Warning>& out) const;

    std::string_view pattern_;
    std::vector<Group> groups_;
    std::string textSuffix_;  // added to every text value written out
    std::string sample_;
    TagFields read_;
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
    for (int t = int(TagToken::Artist); t < kTokenCount; ++t) {
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

// A file named as the pattern describes, with plain values, and the fields
// the matcher reads wrong in it: said once per cause, the cause named where
// the pattern shows one. Two tokens with nothing between cannot be told
// apart, and the match ends there, so the tokens before them go unread too.
void PatternReader::CheckMisreads(std::vector<Warning>& out) const {
    std::string onName = " on a file named \"" + sample_ + "\"";
    if (!textSuffix_.empty()) onName += ", whose words hold \"" + textSuffix_.substr(0, 1) + "\"";
    std::size_t explained = 0;  // groups before this index are accounted for
    for (std::size_t i = 1; i < groups_.size(); ++i) {
        const Group& previous = groups_[i - 1];
        const Group& g = groups_[i];
        if (previous.token == TagToken::None || g.token == TagToken::None ||
            previous.end != g.start) {
            continue;
        }
        const std::string misread = WhatIsRead(explained, i);
        if (misread.empty()) continue;
        const std::string digits = DigitsNotSearched(previous);
        if (!digits.empty()) {
            Add(out, previous.start, PatternWarningCode::DigitsNotSearched,
                Text(previous) + digits + ", so its digits are not searched first and it"
                " cannot be told apart from " + Text(g) + ": " + misread + onName);
        } else {
            Add(out, g.start, PatternWarningCode::AdjacentTokens,
                Text(g) + " directly follows " + Text(previous) +
                    ", so where one value ends cannot be told: " + misread + onName +
                    "; put a separator between them");
        }
        explained = i + 1;
    }
    std::string misread;
    std::size_t place = 0;
    for (std::size_t i = explained; i < groups_.size(); ++i) {
        const Group& g = groups_[i];
        if (!Misread(g)) continue;
        const std::string digits = DigitsNotSearched(g);
        if (!digits.empty()) {
            Add(out, g.start, PatternWarningCode::DigitsNotSearched,
                Text(g) + digits + ", so its digits are not searched first: " +
                    WhatIsRead(g) + onName);
            continue;
        }
        if (misread.empty()) place = g.start;
        misread += (misread.empty() ? "" : ", ") + WhatIsRead(g);
    }
    if (!misread.empty()) {
        Add(out, place, PatternWarningCode::Misread,
            "files would be tagged wrong: " + misread + onName);
    }
}

const char* Ordinal(std::size_t n) {
    static const char* const kOrdinals[] = {"first", "second", "third", "fourth", "fifth"};
    return n < 5 ? kOrdinals[n] : "a later";
}

void PatternReader::CheckRepeated(std::vector<Warning>& out) const {
    for (int t = int(TagToken::Artist); t < kTokenCount; ++t) {
        if (TagToken(t) == TagToken::Skip) continue;  // may stand for text anywhere
        std::vector<const Group*> uses;
        for (const Group& g : groups_) {
            if (g.token == TagToken(t)) uses.push_back(&g);
        }
        if (uses.size() < 2) continue;
        std::string message = std::string(SpellingOfToken(TagToken(t))) + " appears " +
                              std::to_string(uses.size()) + " times";
        const int read = OccurrenceRead(TagToken(t));
        if (read >= 0) {
            message += std::string("; the ") + Ordinal(std::size_t(read)) +
                       " one's value is the one stored";
        }
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
        case PatternWarningCode::Misread: return "misread";
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
