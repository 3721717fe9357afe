// The pattern box: the pattern being tried, the button that stores the
// patterns, the token buttons, and the warnings about the pattern.
#pragma once

#include <string>

#include "tools/preview-window/note_area.h"
#include "tools/preview-window/window_controls.h"

class PatternBox {
public:
    // The box and its button; then, after the parts that share its row, the
    // token buttons and the warnings.
    void Create(const ControlMaker& maker);
    void CreateTokens(const ControlMaker& maker);
    // Its row, up to x (the parts after it in the row go there), the token
    // buttons and the warnings; the height used.
    int Place(Placer& placer, int y, int boxX, int boxWidth, int width);
    HWND Edit() const { return edit_; }
    const std::string& Pattern() const { return pattern_; }
    void SetPattern(const std::string& pattern);
    // Reads the box again after it changed; true when the warnings changed,
    // and with them perhaps the layout.
    bool OnChanged();
    void EnableUse(bool storable);
    // Which token a click asks for, or -1.
    int TokenOf(int id, int code) const;

private:
    int PlaceTokenButtons(Placer& placer, int left, int y, int right);

    HWND parent_ = nullptr;
    HFONT font_ = nullptr;
    HWND label_ = nullptr, edit_ = nullptr, useButton_ = nullptr;
    HWND tokenLabel_ = nullptr;
    HWND tokenButtons_[8] = {};  // in the order of TagToken
    NoteArea warnings_;
    std::string pattern_;  // the box's text, as matched
};

// The warnings about a pattern, a line each; none for an empty one.
std::string PatternWarningsText(const std::string& pattern);

// Replaces the box's selection, as typing would, and hands the box the
// keyboard again.
void InsertToken(HWND edit, int index);
