#include "tools/preview-window/stored_set.h"

#include "tagging/tag_pattern_matcher.h"

namespace {

constexpr char kTitle[] = "PathTagger Preview";

std::string Described(const PatternSet& set) {
    std::string text = "Pattern: " + set.pattern + "\r\nFallbacks:";
    for (const std::string& fallback : set.fallbacks) text += "\r\n    " + fallback;
    if (set.fallbacks.empty()) text += " none";
    return text + "\r\nOnly tag files that a pattern of the set fits: " +
           (set.onlyWhenFits ? "yes" : "no");
}

}  // namespace

bool StoredSet::Storable(const PatternSet& edited) const {
    return !edited.pattern.empty() && edited.pattern.size() <= kMaxMatchInput &&
           edited != stored_;
}

void StoredSet::Store(HWND owner, const PatternSet& edited) {
    if (!Storable(edited)) return;
    // Against what is stored now: another program may have changed it since.
    Read();
    if (!StorePatternSet(edited, stored_)) {
        MessageBoxA(owner, "The patterns could not all be stored.", kTitle, MB_OK | MB_ICONERROR);
    }
    Read();
}

StoredSet::Closing StoredSet::AskBeforeClosing(HWND owner, const PatternSet& edited,
                                               const std::string& typedFallback) const {
    const std::string typedNote =
        typedFallback.empty()
            ? ""
            : "The fallback box holds \"" + typedFallback + "\", which was never added.";
    if (Storable(edited)) {
        const std::string question =
            "The patterns in the window have not been stored:\r\n\r\n" + Described(edited) +
            "\r\n\r\n" + (typedNote.empty() ? "" : typedNote + "\r\n\r\n") +
            "Store them before closing? The plugin tags with the stored set.";
        switch (MessageBoxA(owner, question.c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES: return Closing::Store;
            case IDNO: return Closing::Drop;
            default: return Closing::Stay;
        }
    }
    if (typedNote.empty()) return Closing::Drop;
    const std::string question = typedNote + "\r\n\r\nClose without it?";
    return MessageBoxA(owner, question.c_str(), kTitle, MB_OKCANCEL | MB_ICONQUESTION) == IDOK
               ? Closing::Drop
               : Closing::Stay;
}
