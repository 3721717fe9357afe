#include "tagging/layout_reading.h"

#include <string_view>

#include "tagging/layout_forms.h"

namespace {

std::string_view Trimmed(const PathText& value) {
    std::string_view text = value.CStr();
    const std::size_t first = text.find_first_not_of(' ');
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

bool StartsBadly(std::string_view text) {
    return !text.empty() && (text[0] == '-' || text[0] == '.' || text[0] == '_') &&
           (text.size() == 1 || text[1] == ' ');
}

bool HasDash(std::string_view text) { return text.find(" - ") != text.npos; }

bool BeginsWithNumber(std::string_view title) {
    const std::size_t digits = title.find_first_not_of("0123456789");
    return digits > 0 && digits != title.npos &&
           (title[digits] == ' ' || title[digits] == '.' || title[digits] == '-');
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool Same(const std::string& a, const std::string& b) { return a.empty() || b.empty() || a == b; }

const std::string& Either(const std::string& a, const std::string& b) {
    return a.empty() ? b : a;
}

}  // namespace

NameReading ReadNames(const TagFields& values) {
    NameReading r;
    r.artist = Trimmed(values.artist);
    r.album = Trimmed(values.album);
    r.year = values.year;
    r.trackNumber = values.trackNumber;
    r.disc = values.disc;
    const std::string_view title = Trimmed(values.title);
    r.titleStartsBadly = StartsBadly(title);
    r.titleBeginsWithNumber = BeginsWithNumber(title);
    r.titleHasDash = HasDash(title);
    return r;
}

bool Agree(const NameReading& name, const NameReading& folder) {
    return Same(name.artist, folder.artist) && Same(name.album, folder.album);
}

bool Misplaced(const NameReading& name, const NameReading& folder, NamedFields named) {
    const std::string& artist = Either(name.artist, folder.artist);
    const std::string& album = Either(name.album, folder.album);
    if (StartsBadly(artist) || StartsBadly(album) || name.titleStartsBadly) return true;
    if (!DiscFolderForm(artist).empty() || !DiscFolderForm(album).empty()) return true;
    if (AllDigits(artist) || IsCompilationFolder(artist) || HasDash(artist)) return true;
    const bool readsNumber = (named & (NamedFields(1) << int(TagToken::TrackNumber))) != 0;
    return !readsNumber && (name.titleBeginsWithNumber || name.titleHasDash);
}
