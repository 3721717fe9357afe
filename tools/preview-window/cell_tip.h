// Shows a list cell's whole text where its column cuts it: one tool over the
// whole list, whose text is asked for each time it shows; moving to another
// cell hides it, so that it shows again for that cell.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tools/preview-window/window_controls.h"

class CellTip {
public:
    void Create(const ControlMaker& maker, HWND list);
    bool IsFrom(const NMHDR& header) const {
        return header.hwndFrom == tip_ && header.code == TTN_GETDISPINFOW;
    }
    // Column and row index of the cell under the mouse; -1 and -1 for none.
    POINT CellUnderMouse() const;
    // No text, and so no tip, where the column shows the whole cell.
    void Fill(NMTTDISPINFOW& info, int column, std::wstring text);

private:
    static LRESULT CALLBACK ListMouse(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);

    HWND tip_ = nullptr;
    HWND list_ = nullptr;
    POINT cell_ = {-1, -1};  // column, row index
    std::wstring text_;
};
