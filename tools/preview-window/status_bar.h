// The status bar: how many files the folder holds and, once they are
// counted, what the plugin would do with them.
#pragma once

#include "tools/preview-window/file_list.h"
#include "tools/preview-window/window_controls.h"

class StatusBar {
public:
    void Create(const ControlMaker& maker);
    HWND Window() const { return bar_; }
    // Follows the window's size; its own height.
    int Resize();
    void Show(const ListFigures& figures, bool walking);

private:
    HWND bar_ = nullptr;
};
