#include "tools/preview-window/cell_tip.h"

#include <utility>

void CellTip::Create(const ControlMaker& maker, HWND list) {
    list_ = list;
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, maker.parent, nullptr, maker.instance,
                           nullptr);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = list_;
    tool.uId = 1;
    tool.rect = {0, 0, 32767, 32767};
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 600);
    SetWindowSubclass(list_, ListMouse, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CellTip::ListMouse(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self) {
    if (message == WM_MOUSEMOVE) {
        auto* tip = reinterpret_cast<CellTip*>(self);
        const POINT cell = tip->CellUnderMouse();
        if (cell.x != tip->cell_.x || cell.y != tip->cell_.y) {
            tip->cell_ = cell;
            SendMessageA(tip->tip_, TTM_POP, 0, 0);
        }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListMouse, 1);
    return DefSubclassProc(list, message, wParam, lParam);
}

POINT CellTip::CellUnderMouse() const {
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(list_, &hit.pt);
    if (SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) {
        return {-1, -1};
    }
    return {hit.iSubItem, hit.iItem};
}

void CellTip::Fill(NMTTDISPINFOW& info, int column, std::wstring text) {
    text_.clear();
    const int needed =
        int(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    const int room = int(SendMessageA(list_, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
    // The list leaves a few pixels of margin on either side of a cell.
    if (needed + 12 > room) text_ = std::move(text);
    info.lpszText = const_cast<wchar_t*>(text_.c_str());
}
