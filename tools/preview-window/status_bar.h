// The status bar: how many files the folder holds and, once they are
// counted, what the plugin would do with them. Each part is as wide as its
// text; where the bar is too narrow for all of them, the parts say it in
// fewer words, and those that count nothing give up their room.
#pragma once

#include <string>

#include "tools/preview-window/file_list.h"
#include "tools/preview-window/window_controls.h"

class StatusBar {
public:
    static constexpr int kParts = 8;

    void Create(const ControlMaker& maker);
    // Follows the window's size; its own height.
    int Resize();
    void Show(const ListFigures& figures, bool walking);

private:
    void Fit();
    int Width(const std::string& text, HDC dc) const;

    HWND bar_ = nullptr;
    HFONT font_ = nullptr;
    std::string full_[kParts], brief_[kParts];
    std::string shown_[kParts];
    int ends_[kParts] = {};
    // The counts shown while the same files are counted again for other
    // patterns; other files empty them.
    PreviewCounts lastCounts_;
    std::size_t lastCountedFiles_ = std::size_t(-1);
};

// n with the user's thousands separator: "12,345".
std::string Grouped(std::size_t n);
