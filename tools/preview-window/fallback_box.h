// The fallback patterns, tried in order where the pattern does not fit, and
// the check box that leaves alone the files no pattern fits. What is shown
// here is edited, not stored: the window stores the whole set at once.
#pragma once

#include <string>
#include <vector>

#include "tools/preview-window/note_area.h"
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
    // The box's text where it is not one of the fallbacks: typed, and not
    // yet added.
    std::string Typed() const;
    // True when the fallbacks or the check box changed.
    bool OnCommand(int id, int code);
    // True when the warnings changed, and with them perhaps the layout.
    bool WarningsChanged();
    // Enter in the box adds what it holds.
    bool OnEnter() { return Add(); }
    // Puts pattern in the chosen fallback's place; the fallback it was, or
    // nothing when none is chosen.
    bool SwapChosen(std::string& pattern);

private:
    int Chosen() const;
    void ShowList(int chosen);
    void UpdateButtons();
    void ShowWarnings();
    void OnChoose();
    bool Add();
    bool Change();
    bool Move(int by);
    bool Remove();

    HWND label_ = nullptr, list_ = nullptr, edit_ = nullptr;
    HWND upButton_ = nullptr, downButton_ = nullptr, removeButton_ = nullptr;
    HWND mainButton_ = nullptr, addButton_ = nullptr, changeButton_ = nullptr;
    HWND onlyWhenFitsBox_ = nullptr;
    NoteArea warnings_;
    bool warningsChanged_ = false;
    std::vector<std::string> fallbacks_;
    bool onlyWhenFits_ = false;
};
