// A note with a warning sign before it, as tall as its text wrapped to the
// width it is given, and nothing at all without a text.
#pragma once

#include <string>

#include "tools/preview-window/window_controls.h"

class NoteArea {
public:
    void Create(const ControlMaker& maker, int id);
    // True when the height may have changed with the text: the note is
    // to be placed again.
    bool Set(const std::string& text);
    const std::string& Text() const { return shown_; }
    int HeightFor(int width) const;
    // The sign in the labels' column, the text where the boxes begin; the
    // height used, with the gap below it.
    int Place(Placer& placer, int y, int textX, int width) const;

private:
    HWND icon_ = nullptr;
    HWND text_ = nullptr;
    HFONT font_ = nullptr;
    std::string shown_;
    // The last width measured and the height it gave: a text is wrapped
    // again only when it or the width changed.
    mutable int measuredWidth_ = -1;
    mutable int measuredHeight_ = 0;
};
