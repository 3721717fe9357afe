// The fallback patterns, tried in order where the pattern does not fit, and
// the check box that leaves alone the files no pattern fits.
#pragma once

#include <string>
#include <vector>

#include "tools/preview-window/window_controls.h"

class FallbackBox {
public:
    void Create(const ControlMaker& maker);
    // The height used.
    int Place(Placer& placer, int y, int boxX, int width);
    HWND Edit() const { return edit_; }

    void Set(const std::vector<std::string>& fallbacks, bool onlyWhenFits);
    const std::vector<std::string>& Fallbacks() const { return fallbacks_; }
    bool OnlyWhenFits() const { return onlyWhenFits_; }
    // True when the fallbacks or the check box changed.
    bool OnCommand(int id, int code);
    // Enter in the box adds what it holds.
    bool OnEnter();

private:
    int Selected() const;
    void ShowList(int selected);
    void UpdateButtons();
    bool Add();
    bool Move(int by);
    bool Remove();
    void Store(int selected);

    HWND parent_ = nullptr;
    HWND label_ = nullptr, list_ = nullptr, edit_ = nullptr;
    HWND addButton_ = nullptr, upButton_ = nullptr, downButton_ = nullptr;
    HWND removeButton_ = nullptr, onlyWhenFitsBox_ = nullptr;
    std::vector<std::string> fallbacks_;
    bool onlyWhenFits_ = false;
};
