// The file list's columns: their headings, and their widths, which share
// the list's width except where the user dragged one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "tools/preview-window/preview_rows.h"

class ListColumns {
public:
    void Create(HWND list);
    // Shares the width among the columns, once the list has its size: a
    // column the user has sized keeps its width, the others share the rest.
    void Fit();
    // 0 for a column the user has not sized.
    void SetUserWidths(const int (&widths)[kColumnCount]);
    const int (&UserWidths() const)[kColumnCount] { return userWidths_; }
    // The end of a drag on a heading's edge.
    void OnSized(const NMHEADERW& header);

private:
    HWND list_ = nullptr;
    int userWidths_[kColumnCount] = {};
};
