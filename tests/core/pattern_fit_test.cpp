#include "tagging/misfit_description.h"
#include "tagging/pattern_fit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tagging/tag_pattern_matcher.h"

namespace {

NamedFields Bits(std::initializer_list<TagToken> tokens) {
    NamedFields named = 0;
    for (TagToken t : tokens) named |= NamedFields(1) << int(t);
    return named;
}

bool Fits(const char* pattern, const char* path) {
    TagFields values;
    return PathFits(pattern, path, values);
}

std::string WhyNot(const char* pattern, const char* path) {
    TagFields values;
    Misfit why;
    PathFits(pattern, FieldsNamedBy(pattern), path, values, why);
    return DescribeMisfit(why);
}

TEST(PatternFit, TokensNameTheirFieldsInAnyCaseAndOnlyWithinWhatTheMatcherReads) {
    EXPECT_EQ(FieldsNamedBy("[artist]"), Bits({TagToken::Artist}));
    EXPECT_EQ(FieldsNamedBy("[track number]"), Bits({TagToken::TrackNumber}));
    EXPECT_EQ(FieldsNamedBy("[ARTIST]\\[Track Number] - [TRACK]"),
              Bits({TagToken::Artist, TagToken::TrackNumber, TagToken::Title}));
    EXPECT_EQ(FieldsNamedBy("[title]-[tracknumber]-[artist ]"), 0u) << "no tokens";
    EXPECT_EQ(FieldsNamedBy("[skip]\\[DISC]-[disc]"), 0u) << "read, but written nowhere";
    EXPECT_EQ(CountNamedFields(FieldsNamedBy("[artist]\\[year] - [album]\\[track]")), 4);
    const std::string filler(259 - 8, '-');
    EXPECT_EQ(FieldsNamedBy((filler + "[artist]").c_str()), Bits({TagToken::Artist}));
    EXPECT_EQ(FieldsNamedBy((filler + "-[artist]").c_str()), 0u);
}

struct FitCase {
    const char* pattern;
    const char* path;
    bool fits;
};

// The layouts of real collections, where a match that only fills every
// field used to be called a fit.
TEST(PatternFit, ThePathMustReadAsThePatternExactly) {
    const FitCase cases[] = {
        {"[artist]\\[album]\\[track number] [track]", "\\A\\B\\1-01 Opening.mp3", false},
        {"[artist]\\[album]\\[track number] [track]", "\\A\\B\\01 Opening.mp3", true},
        {"[artist]\\[album]\\[track number] [track]", "\\A\\B\\01  Opening.mp3", true},
        {"[track number] - [track]", "x\\03 - Part 2 - The Return.mp3", false},
        {"[track number] - [track]", "x\\03 - Title.mp3", true},
        {"[artist]\\[[year]][album]\\[track number]. [track]",
         "\\The Quiet Ones\\[1987] Night Drive\\01. Headlights.mp3", true},
        {"[artist]\\[[year]] [album]\\[track number]. [track]",
         "\\The Quiet Ones\\[1987] Night Drive\\01. Headlights.mp3", false},
        {"[artist]-[track]", "C:\\Music\\Band - Live\\cover.jpg", false},
        {"[artist]-[track]", "C:\\Music\\Band-Song-Live.mp3", true},
        {"[track number][track]", "Z:\\16 Drive.flac", true},
        {"[track number] [track]", "Z:\\11Best Mix.ogg", false},
        {"[artist]\\[album]\\CD1\\[track number]. [track]", "\\B\\G\\CD2\\01. Opening.mp3", false},
        {"[artist]\\[album]\\CD1\\[track number]. [track]", "\\B\\G\\CD1\\01. Opening.mp3", true},
        {"[artist]\\[album]\\", "Z:\\Of Drive\\Caf\xE9 (28)\\07 - Song.ogg", true},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(Fits(c.pattern, c.path), c.fits) << c.pattern << " on " << c.path;
    }
}

TEST(PatternFit, EveryNamedFieldNeedsAValue) {
    const FitCase cases[] = {
        {"[artist]-[track]", "C:\\Music\\Song.mp3", false},
        {"[artist] - [track]", "C:\\Music\\   - Song.mp3", false},  // a blank artist
        {"[track number] - [track]", "C:\\Music\\00 - Song.mp3", false},  // track 0
        {"[track number] - [track]", "C:\\Music\\xx - Song.mp3", false},
        {"[artist]\\[year] - [album]\\[track]", "C:\\M\\Band\\Best\\Song.mp3", false},
        {"[genre]\\[artist]\\[album]\\[track number] - [track]",
         "C:\\Jazz\\Band\\Live\\03 - Tune.mp3", true},
        {"no tokens at all", "C:\\M\\no tokens at all.mp3", true},
        {"no tokens at all", "C:\\M\\anything.mp3", false},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(Fits(c.pattern, c.path), c.fits) << c.pattern << " on " << c.path;
    }
}

// Each place of the pattern against the path: numbers by their digits,
// texts with blanks around them, a token twice with one value, the start of
// a name where the pattern starts.
TEST(PatternFit, EachPlaceHoldsWhatThePatternPutsThere) {
    const FitCase cases[] = {
        {"[artist] - [track number] - [track]", "C:\\M\\Band - 07 - Song.mp3", true},
        {"[artist] - [track number] - [track]", "C:\\M\\Band - 7b - Song.mp3", false},
        {"[artist]-[track number]", "C:\\M\\Band-+7.mp3", false},
        {"[artist]-[track number]", "C:\\M\\Band-0007.mp3", true},
        {"[TRACK NUMBER]-[track]", "C:\\M\\07-Song.mp3", true},
        {"[artist] - [track]", "C:\\M\\Band -Song.mp3", false},
        {"[artist] - [track]", "C:\\M\\Band -  Song .mp3", true},
        {"[artist]-[artist]", "C:\\M\\X-Y.mp3", false},
        {"[artist]-[artist]", "C:\\M\\X-X.mp3", true},
        {"-[track]", "C:\\M\\A-B.mp3", false},
        {"[artist]\\[track]", "C:\\M\\Band\\Song.mp3", true},
        {"[artist]\\[album]\\", "C:\\Song.mp3", false},
        {"[artist]\\[track number]", "C:\\M\\Band\\07 Song.mp3", false},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(Fits(c.pattern, c.path), c.fits) << c.pattern << " on " << c.path;
    }
}

TEST(PatternFit, SkipAndDiscReadNumbersAndTextThatAreWrittenNowhere) {
    struct DiscCase {
        const char* pattern;
        const char* path;
        int disc;
        int track;
        const char* title;
    };
    const DiscCase cases[] = {
        {"[artist]\\[album]\\[disc]-[track number] [track]", "\\A\\B\\1-01 Opening.mp3", 1, 1,
         " Opening"},
        {"[artist]\\[album]\\Disc [disc]\\[track number] - [track]",
         "\\A\\B\\Disc 2\\01 - Encore.mp3", 2, 1, " Encore"},
        {"[artist]\\[album]\\CD [DISC]\\[track number] - [track]", "\\A\\B\\CD 02\\03 - X.mp3", 2,
         3, " X"},
        {"[artist]\\[album]\\CD[disc]\\[track number]. [track]", "\\B\\G\\CD2\\01. Dance.mp3", 2,
         1, " Dance"},
        {"[artist]\\[album]\\[disc][track number] - [track]", "\\A\\B\\201 - Encore.mp3", 2, 1,
         " Encore"},
        {"[artist]\\[album]\\[Disc][Track Number] - [track]", "\\A\\B\\1012 - Encore.mp3", 10, 12,
         " Encore"},
        {"[skip] - [skip] - [track]", "\\A\\x - y - Song.mp3", 0, 0, " Song"},
    };
    for (const DiscCase& c : cases) {
        TagFields values;
        EXPECT_TRUE(PathFits(c.pattern, c.path, values)) << c.pattern << " on " << c.path;
        EXPECT_EQ(values.disc, c.disc) << c.pattern;
        EXPECT_EQ(values.trackNumber, c.track) << c.pattern;
        EXPECT_STREQ(values.title.CStr(), c.title) << c.pattern;
    }
    TagFields skipped;
    ASSERT_TRUE(PathFits("[skip] - [skip] - [track]", "\\A\\x - y - Song.mp3", skipped));
    EXPECT_STREQ(skipped.artist.CStr(), "");
    EXPECT_STREQ(skipped.album.CStr(), "");
    EXPECT_FALSE(Fits("[artist]\\[album]\\[disc][track number] - [track]", "\\A\\B\\01 - X.mp3"))
        << "a disc needs digits of its own";
    EXPECT_FALSE(Fits("[artist]\\[album]\\Disc [disc]\\[track]", "\\A\\B\\Disc X\\Song.mp3"));
}

TEST(PatternFit, AMisfitSaysWhatThePathLacks) {
    EXPECT_EQ(WhyNot("[artist] - [track]", "C:\\Music\\Untitled.mp3"),
              "no ` - ` before the title");
    EXPECT_EQ(WhyNot("[track number] [track]", "Z:\\11Best Mix.ogg"), "no blank before the title");
    EXPECT_EQ(WhyNot("[artist]\\[album]\\CD1\\[track number]. [track]",
                     "\\B\\G\\CD2\\01. Opening.mp3"),
              "no `CD1` where the pattern has it");
    EXPECT_EQ(WhyNot("[track number] - [track]", "x\\03 - Part 2 - The Return.mp3"),
              "more text before the title than the pattern has");
    EXPECT_EQ(WhyNot("[artist]-[artist]", "C:\\X-Y.mp3"), "two different values for the artist");
    EXPECT_EQ(WhyNot("[artist] - [track number] - [track]", "C:\\M\\Band - 7b - Song.mp3"),
              "the track number is not only digits");
    EXPECT_EQ(WhyNot("[genre]\\[artist]\\[album]\\[track]", "C:\\Song.mp3"),
              "fewer folders or less text than the pattern");
    EXPECT_EQ(WhyNot("[artist] - [track]", "C:\\M\\   - Song.mp3"), "no value for the artist");
    EXPECT_EQ(WhyNot("[artist]-[track]", ("C:\\" + std::string(300, 'a') + "\\B-S.mp3").c_str()),
              "the path is longer than 259 characters");
    EXPECT_EQ(WhyNot("[artist]-[track]", "C:\\Band-Song.mp3"), "");
}

// The rule as written, independently of the matcher's steps: the pattern
// with the values the matcher read put in its places, a text with any
// blanks around it and a number as its digits after any zeros, must be
// what the path holds at its end, from the start of a name on. Blanks and
// zeros may belong to a place or to the literal beside it, so every way is
// tried.
class RuleAsWritten {
public:
    RuleAsWritten(const std::string& pattern, const std::string& path, const TagFields& values)
        : pattern_(pattern), values_(values) {
        const std::size_t dot = path.rfind('.');
        const std::size_t slash = path.rfind('\\');
        name_ = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                    ? path.substr(0, dot)
                    : path;
    }

    bool Reads() const {
        std::size_t p = pattern_.size();
        std::size_t at = name_.size();
        if (p > 0 && pattern_[p - 1] == '\\') {  // the file's name, whatever it is
            const std::size_t slash = name_.rfind('\\');
            if (slash == std::string::npos) return false;
            at = slash;
            --p;
        }
        return ReadsFrom(p, at);
    }

private:
    bool ReadsFrom(std::size_t p, std::size_t at) const {
        if (p == 0) return at == 0 || name_[at - 1] == '\\';
        const std::size_t open = pattern_[p - 1] == ']' ? pattern_.rfind('[', p - 1) : std::string::npos;
        const TagToken token = open == std::string::npos
                                   ? TagToken::None
                                   : RecogniseToken(pattern_.data() + open, p - open);
        switch (token) {
            case TagToken::None:
                return at > 0 && name_[at - 1] == pattern_[p - 1] && ReadsFrom(p - 1, at - 1);
            case TagToken::Year: return Number(values_.year, open, at);
            case TagToken::TrackNumber: return Number(values_.trackNumber, open, at);
            case TagToken::Artist: return Text(values_.artist.CStr(), open, at);
            case TagToken::Album: return Text(values_.album.CStr(), open, at);
            case TagToken::Title: return Text(values_.title.CStr(), open, at);
            case TagToken::Genre: return Text(values_.genre.CStr(), open, at);
            default: return false;  // skip and disc are read by other tests
        }
    }

    bool EndsWith(std::size_t at, const std::string& text) const {
        return at >= text.size() && name_.compare(at - text.size(), text.size(), text) == 0;
    }

    bool Number(int value, std::size_t p, std::size_t at) const {
        const std::string digits = std::to_string(value);
        if (value <= 0 || !EndsWith(at, digits)) return false;
        for (at -= digits.size();; --at) {
            if (ReadsFrom(p, at)) return true;
            if (at == 0 || name_[at - 1] != '0') return false;
        }
    }

    bool Text(std::string value, std::size_t p, std::size_t at) const {
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of(' ') + 1);
        if (value.empty() || value.find('\\') != std::string::npos) return false;
        for (;; --at) {
            if (EndsWith(at, value)) {
                for (std::size_t start = at - value.size();; --start) {
                    if (ReadsFrom(p, start)) return true;
                    if (start == 0 || name_[start - 1] != ' ') break;
                }
            }
            if (at == 0 || name_[at - 1] != ' ') return false;
        }
    }

    const std::string& pattern_;
    std::string name_;
    const TagFields& values_;
};

// Patterns and paths made of the pieces real names are made of.
TEST(PatternFit, AgreesWithTheRuleAsWrittenOnGeneratedPairs) {
    const char* const tokens[] = {"[artist]", "[album]", "[track]", "[year]", "[track number]"};
    const char* const literals[] = {" - ", "-", "\\", ". ", " (", ") ", "_", "\\CD1\\", " "};
    const char* const pieces[] = {"Band", "07", "1999", " - ", "-", "\\", ". ", " (", ")",
                                  "Two Words", "x", "CD1", "_", "3", " "};
    std::mt19937 random(2026);
    int fits = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string pattern;
        const int parts = 1 + int(random() % 4);
        for (int i = 0; i < parts; ++i) {
            if (i) pattern += literals[random() % std::size(literals)];
            pattern += tokens[random() % std::size(tokens)];
        }
        if (random() % 8 == 0) pattern += "\\";
        std::string path = "C:";
        const int count = 1 + int(random() % 7);
        for (int i = 0; i < count; ++i) path += pieces[random() % std::size(pieces)];
        path += ".mp3";
        // An empty folder name is no path Windows gives.
        if (path.find("\\\\") != std::string::npos) continue;
        TagFields values;
        const bool matcherFits = PathFits(pattern.c_str(), path.c_str(), values);
        const bool ruleFits = RuleAsWritten(pattern, path, values).Reads() &&
                              FieldsFill(FieldsNamedBy(pattern.c_str()), values);
        fits += matcherFits;
        EXPECT_EQ(matcherFits, ruleFits) << pattern << " on " << path;
    }
    EXPECT_GT(fits, 200) << "the generated pairs should hold fits to compare";
}

TEST(PatternFit, TheChoiceTakesTheFirstPatternThatFits) {
    PatternChoice choice;
    choice.Put(0, "[artist]\\[album]\\[track number] - [track]");
    choice.Put(1, "[artist]\\[album]\\[disc]-[track number] [track]");
    TagFields values;
    ChoiceOutcome outcome = MatchAndTellChoice(choice, "C:\\A\\B\\2-03 Song.mp3", values);
    EXPECT_EQ(outcome.used, 1);
    EXPECT_TRUE(outcome.write);
    EXPECT_EQ(values.trackNumber, 3);
    EXPECT_EQ(outcome.firstMisfit.kind, MisfitKind::LiteralMissing);

    outcome = MatchAndTellChoice(choice, "C:\\A\\B\\cover.jpg", values);
    EXPECT_EQ(outcome.used, -1);
    EXPECT_TRUE(outcome.write) << "without only-when-fits, the pattern's own values";
    choice.onlyWhenFits = true;
    EXPECT_FALSE(MatchAndTellChoice(choice, "C:\\A\\B\\cover.jpg", values).write);
}

}  // namespace
