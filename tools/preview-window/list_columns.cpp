#include "tools/preview-window/list_columns.h"

#include <algorithm>
#include <iterator>

namespace {

// The share of the list's width each column gets; none narrower than its
// heading with a sort arrow.
constexpr int kColumnWeights[kColumnCount] = {230, 95, 95, 130, 50, 45, 45, 350, 40};

}  // namespace

void ListColumns::Create(HWND list) {
    list_ = list;
    for (int c = 0; c < kColumnCount; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        const bool number = c == kYearColumn || c == kTrackColumn || c == kUsedColumn;
        column.fmt = number ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = kColumnWeights[c];
        column.pszText = const_cast<char*>(kColumnTitles[c]);
        SendMessageA(list_, LVM_INSERTCOLUMNA, WPARAM(c), reinterpret_cast<LPARAM>(&column));
    }
}

// The columns share the list's width, a vertical scroll bar's room kept so
// that its coming does not add a horizontal one.
void ListColumns::Fit() {
    RECT client;
    GetClientRect(list_, &client);
    const bool scrollBar = GetWindowLongA(list_, GWL_STYLE) & WS_VSCROLL;
    int left = int(client.right) - (scrollBar ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    int leftWeight = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (userWidths_[c] > 0) {
            left -= userWidths_[c];
        } else {
            leftWeight += kColumnWeights[c];
        }
    }
    // Columns whose share would not hold their heading get just that; the
    // others share what is left.
    int least[kColumnCount];
    bool pinned[kColumnCount] = {};
    const int shared = std::max(left, 0), sharedWeight = std::max(leftWeight, 1);
    for (int c = 0; c < kColumnCount; ++c) {
        if (userWidths_[c] > 0) continue;
        const int heading = int(SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0,
                                             reinterpret_cast<LPARAM>(kColumnTitles[c])));
        least[c] = heading + 32;  // the heading's margins and sort arrow
        pinned[c] = shared * kColumnWeights[c] / sharedWeight < least[c];
        if (pinned[c]) {
            left -= least[c];
            leftWeight -= kColumnWeights[c];
        }
    }
    for (int c = 0; c < kColumnCount; ++c) {
        int width = userWidths_[c];
        if (width <= 0) {
            width = pinned[c] ? least[c]
                              : std::max(least[c], std::max(left, 0) * kColumnWeights[c] /
                                                       std::max(leftWeight, 1));
        }
        if (width != int(SendMessageA(list_, LVM_GETCOLUMNWIDTH, WPARAM(c), 0))) {
            SendMessageA(list_, LVM_SETCOLUMNWIDTH, WPARAM(c), MAKELPARAM(width, 0));
        }
    }
}

void ListColumns::SetUserWidths(const int (&widths)[kColumnCount]) {
    std::copy(std::begin(widths), std::end(widths), std::begin(userWidths_));
    Fit();
}

// The width the user dragged a column to is kept as it is.
void ListColumns::OnSized(const NMHEADERW& header) {
    if (header.iItem < 0 || header.iItem >= kColumnCount || !header.pitem ||
        !(header.pitem->mask & HDI_WIDTH)) {
        return;
    }
    userWidths_[header.iItem] = std::max(1, header.pitem->cxy);
    Fit();
}
