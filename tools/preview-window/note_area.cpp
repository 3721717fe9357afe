#include "tools/preview-window/note_area.h"

#include <algorithm>

namespace {

constexpr int kIconSize = 16;

}  // namespace

void NoteArea::Create(const ControlMaker& maker, int id) {
    icon_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_ICON | SS_REALSIZECONTROL, 0, 0,
                            kIconSize, kIconSize, maker.parent, nullptr, maker.instance, nullptr);
    const HANDLE sign = LoadImageA(nullptr, MAKEINTRESOURCEA(32515 /* OIC_WARNING */), IMAGE_ICON,
                                   kIconSize, kIconSize, LR_SHARED);
    SendMessageA(icon_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(sign));
    text_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                            maker.parent, reinterpret_cast<HMENU>(INT_PTR(id)), maker.instance,
                            nullptr);
    SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(maker.font), FALSE);
    font_ = maker.font;
}

bool NoteArea::Set(const std::string& text) {
    if (text == shown_) return false;
    const int width = measuredWidth_;
    const int height = width >= 0 ? HeightFor(width) : -1;
    shown_ = text;
    measuredWidth_ = -1;
    SetWindowTextA(text_, text.c_str());
    ShowWindow(icon_, text.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(text_, text.empty() ? SW_HIDE : SW_SHOW);
    return width < 0 || HeightFor(width) != height;
}

int NoteArea::HeightFor(int width) const {
    if (shown_.empty()) return 0;
    if (width == measuredWidth_) return measuredHeight_;
    HDC dc = GetDC(text_);
    HGDIOBJ old = SelectObject(dc, font_);
    RECT rect{0, 0, width, 0};
    DrawTextA(dc, shown_.c_str(), -1, &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(text_, dc);
    measuredWidth_ = width;
    measuredHeight_ = std::max(int(rect.bottom), kIconSize);
    return measuredHeight_;
}

int NoteArea::Place(Placer& placer, int y, int textX, int width) const {
    const int height = HeightFor(width);
    if (height == 0) return 0;
    placer.Move(icon_, textX - kIconSize - kGap, y, kIconSize, kIconSize);
    placer.Move(text_, textX, y, width, height);
    // A static does not wrap again on its own when only its size changes.
    InvalidateRect(text_, nullptr, TRUE);
    return height + kGap;
}
