#include "tools/preview-window/window_controls.h"

HWND ControlMaker::Add(const char* className, const char* text, DWORD style, int id) const {
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

std::string WindowText(HWND window) {
    std::string text(std::size_t(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

// A failed deferral leaves the rest to be moved one by one.
void Placer::Move(HWND control, int x, int y, int width, int height) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (moves_) moves_ = DeferWindowPos(moves_, control, nullptr, x, y, width, height, flags);
    if (!moves_) SetWindowPos(control, nullptr, x, y, width, height, flags);
}

Placer::~Placer() {
    if (moves_) EndDeferWindowPos(moves_);
}
