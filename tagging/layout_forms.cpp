#include "tagging/layout_forms.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

#include "tagging/pattern_fit.h"
#include "tagging/tag_pattern_matcher.h"

namespace {

// File names with a leading number, in every form the rippers and library
// managers write them. "[disc]" forms split a disc number from the track's.
const char* const kNumberedFileForms[] = {
    "[track number] - [track]",
    "[track number]. [track]",
    "[track number] [track]",
    "[track number]-[track]",
    "[track number]_[track]",
    "[disc]-[track number] [track]",
    "[disc]-[track number] - [track]",
    "[disc]-[track number]. [track]",
    "[disc][track number] - [track]",
    "[disc][track number] [track]",
    "[disc][track number]. [track]",
    "[artist] - [album] - [track number] - [track]",
    "[artist] - [track number] - [track]",
};

// File names that hold the performer: on a compilation, or loose files.
const char* const kArtistFileForms[] = {
    "[track number] [artist] - [track]",
    "[track number] - [artist] - [track]",
    "[track number]. [artist] - [track]",
    "[disc]-[track number] [artist] - [track]",
    "[artist] - [track]",
};

// Only below a compilation's folder. Its names may begin with the
// compilation's own "artist" ("Various Artists - Album - 01 - Title"),
// which is read past; where its names cannot be split into performer and
// title safely, the last three read its album and numbers and leave the
// rest alone.
const char* const kCompilationFileForms[] = {
    "[skip] - [album] - [track number] - [track]",
    "[track number] [skip] - [skip] - [skip]",
    "[track number] - [skip] - [skip] - [skip] - [skip]",
    "[track number]. [skip] - [skip] - [skip]",
    "[track number] [skip]",
    "[track number] - [skip]",
    "[track number]. [skip]",
};

// An album's folder, each with what its name must show before the form is
// tried on it. A year written "[Year]" is read where it stands, not by
// counting separators from the path's end, so a "(" or "[" in a title
// cannot pull it elsewhere.
struct AlbumFolderForm {
    const char* pattern;
    const char* holds;  // a text the name must hold
};

const AlbumFolderForm kAlbumFolderForms[] = {
    {"[album] ([Year])", ")"},
    {"[album] [[Year]]", "]"},
    {"[[Year]][album]", "["},
    {"[Year] - [album]", " - "},
    {"([Year]) [album]", "("},
    {"[artist] - [album] ([Year])", " - "},
    {"[artist] - [album]", " - "},
    {"[album]", ""},
};

const char* const kCompilationFolders[] = {"various artists", "various", "va", "compilations",
                                           "soundtracks"};

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Whether text spells lower in any letter case.
bool SameLetters(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

bool FitsName(const char* form, const std::string& name) {
    TagFields values;
    Misfit why;
    return PathFits(form, FieldsNamedBy(form), ("\\" + name + ".x").c_str(), values, why);
}

}  // namespace

std::string DiscFolderForm(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size()) return "";
    std::size_t word = digits;
    if (word > 0 && name[word - 1] == ' ') --word;
    const std::string_view spelt(name.data(), word);
    if (!SameLetters(spelt, "disc") && !SameLetters(spelt, "disk") && !SameLetters(spelt, "cd")) {
        return "";
    }
    return name.substr(0, digits) + "[disc]";
}

namespace {

std::vector<std::string> AlbumForms(const std::string& name) {
    std::vector<std::string> forms;
    for (const AlbumFolderForm& form : kAlbumFolderForms) {
        if (name.find(form.holds) == std::string::npos) continue;
        // "[album]" alone takes any name that is not only blanks.
        const bool plain = *form.holds == '\0';
        if (plain ? name.find_first_not_of(' ') != std::string::npos : FitsName(form.pattern, name)) {
            forms.push_back(form.pattern);
        }
    }
    return forms;
}

}  // namespace

std::size_t FieldsRead(const std::string& pattern) {
    std::size_t count = std::size_t(CountNamedFields(FieldsNamedBy(pattern.c_str())));
    std::string lower = Lower(pattern);
    if (lower.find("[disc]") != std::string::npos) ++count;
    return count;
}

namespace {

// The characters of a pattern that are not its tokens.
std::size_t LiteralLength(const std::string& pattern) {
    std::size_t length = pattern.size();
    const std::string lower = Lower(pattern);
    for (int t = int(TagToken::Artist); t <= int(TagToken::Disc); ++t) {
        const std::string spelling = SpellingOfToken(TagToken(t));
        for (std::size_t at = lower.find(spelling); at != std::string::npos;
             at = lower.find(spelling, at + 1)) {
            length -= spelling.size();
        }
    }
    return length;
}

}  // namespace

const std::vector<FileForm>& FileForms() {
    static const std::vector<FileForm> forms = [] {
        std::vector<FileForm> made;
        const NamedFields number = NamedFields(1) << int(TagToken::TrackNumber);
        auto add = [&](const char* form, bool artistInName, bool compilationOnly) {
            const NamedFields named = FieldsNamedBy(form);
            made.push_back({form, artistInName, named, (named & number) != 0, compilationOnly});
        };
        for (const char* form : kNumberedFileForms) add(form, false, false);
        for (const char* form : kArtistFileForms) add(form, true, false);
        for (const char* form : kCompilationFileForms) add(form, true, true);
        add("[track]", false, false);
        return made;
    }();
    return forms;
}

std::vector<FolderPart> FolderPartsOf(const std::vector<std::string>& names) {
    std::vector<FolderPart> parts{{"", true}};
    if (names.empty()) return parts;
    std::size_t album = names.size() - 1;
    std::string disc = DiscFolderForm(names.back());
    if (!disc.empty()) {
        if (album == 0) return parts;
        --album;
        disc += "\\";
    }
    const std::string& albumName = names[album];
    if (disc.empty()) parts.push_back({"[artist]\\", false, false});
    const std::size_t dash = albumName.find(" - ");
    if (dash != std::string::npos && IsCompilationFolder(albumName.substr(0, dash))) {
        for (const std::string& form : AlbumForms(albumName.substr(dash + 3))) {
            if (form.find("[artist]") != std::string::npos) continue;
            parts.push_back({albumName.substr(0, dash + 3) + form + "\\" + disc, true, true, true});
        }
    }
    for (const std::string& form : AlbumForms(albumName)) {
        parts.push_back({form + "\\" + disc, false});
        if (album == 0 || form.find("[artist]") != std::string::npos) continue;
        const std::string& artistName = names[album - 1];
        if (IsCompilationFolder(artistName)) {
            parts.push_back({artistName + "\\" + form + "\\" + disc, true, true, true});
        } else {
            parts.push_back({"[artist]\\" + form + "\\" + disc, false});
        }
    }
    return parts;
}

// Runs of letters become one "a", digits keep up to three of their number,
// and the characters the file forms spell stay as they are.
std::string NameShape(const std::string& name) {
    std::string shape(name.size(), '\0');
    std::size_t length = 0;
    std::size_t digits = 0;
    for (char c : name) {
        const bool digit = c >= '0' && c <= '9';
        const bool kept = c == ' ' || c == '-' || c == '.' || c == '_' || c == '(' ||
                          c == ')' || c == '[' || c == ']';
        digits = digit ? digits + 1 : 0;
        if (digit) {
            if (digits <= 3) shape[length++] = '0';
        } else if (kept) {
            shape[length++] = c;
        } else if (length == 0 || shape[length - 1] != 'a') {
            shape[length++] = 'a';
        }
    }
    shape.resize(length);
    return shape;
}

bool FormFitsName(const FileForm& form, const std::string& name, TagFields& values) {
    Misfit why;
    return PathFits(form.pattern.c_str(), form.named, ("\\" + name + ".x").c_str(), values, why);
}

bool MoreSpecific(const std::string& a, const std::string& b) {
    const std::size_t literalA = LiteralLength(a);
    const std::size_t literalB = LiteralLength(b);
    if (literalA != literalB) return literalA > literalB;
    return FieldsRead(a) > FieldsRead(b);
}

bool IsCompilationFolder(const std::string& name) {
    return std::any_of(std::begin(kCompilationFolders), std::end(kCompilationFolders),
                       [&](const char* c) { return SameLetters(name, c); });
}

std::vector<std::string> SplitNames(const std::string& path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t slash; (slash = path.find('\\', start)) != std::string::npos;
         start = slash + 1) {
        if (slash > start) names.push_back(path.substr(start, slash - start));
    }
    if (start < path.size()) names.push_back(path.substr(start));
    return names;
}

std::string StemOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}
