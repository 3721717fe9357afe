#include "tools/preview-window/file_list.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>

#include "tools/preview-window/code_page_text.h"
#include "tools/preview-window/preview_window.h"

namespace {

constexpr const char* kFilterNames[] = {"All files", "Tagged", "Not tagged",
                                        "Recognising nothing", "Does not fit"};

// How a row that no pattern fits is set apart.
constexpr COLORREF kMisfitTextColour = RGB(150, 0, 0);
constexpr COLORREF kMisfitBackground = RGB(255, 228, 228);

}  // namespace

FileList::FileList() = default;

// The worker first: it only posts to the window, never waits for it.
FileList::~FileList() { worker_.reset(); }

void FileList::Create(const ControlMaker& maker) {
    parent_ = maker.parent;
    filterLabel_ = maker.Add("STATIC", "&Show:", SS_RIGHT, -1);
    filterBox_ = maker.Add("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                           kResultFilterId);
    for (const char* name : kFilterNames) {
        SendMessageA(filterBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(filterBox_, CB_SETCURSEL, 0, 0);
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, maker.parent,
                            reinterpret_cast<HMENU>(INT_PTR(kFileListId)), maker.instance, nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(maker.font), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    columns_.Create(list_);
    tip_.Create(maker, list_);
    HWND parent = parent_;
    worker_ = std::make_unique<MatchWorker>(rows_, rowsLock_, [parent] {
        PostMessageA(parent, kValuesReady, 0, 0);
    });
}

void FileList::PlaceFilter(Placer& placer, int x, int y, int labelWidth, int boxWidth) {
    placer.Move(filterLabel_, x, y + 4, labelWidth - kGap, kRowHeight - 4);
    placer.Move(filterBox_, x + labelWidth, y, boxWidth, 200);
}

void FileList::PlaceList(Placer& placer, int x, int y, int width, int height) {
    placer.Move(list_, x, y, width, height);
}

void FileList::Clear() {
    {
        std::unique_lock<std::shared_mutex> lock(rowsLock_);
        rows_.Clear();
    }
    ++generation_;
    values_.Clear();
    order_.clear();
    ListView_SetItemCountEx(list_, 0, 0);
}

void FileList::AddFiles(std::vector<PreviewFile>& files) {
    if (!files.empty()) {
        std::unique_lock<std::shared_mutex> lock(rowsLock_);
        for (PreviewFile& file : files) rows_.Add(std::move(file));
    }
    // Arranged rows are shown once their values are known.
    if (!Arranged()) {
        ListView_SetItemCountEx(list_, int(rows_.Size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    RequestValues();
}

// The rows in view are matched when the list paints them, once the key's
// handling is done: keys typed faster than the list paints are painted
// once, and the box being typed into never waits for the list. The worker
// is asked after the paint (a timer comes only when nothing waits to be
// painted), so that matching every file never slows the paint down.
void FileList::Rematch(const PatternChoice& choice) {
    choice_ = choice;
    ShowPatternChoices(choice.count);
    ++generation_;
    InvalidateRect(list_, nullptr, FALSE);
    SetTimer(parent_, kValuesDueTimer, USER_TIMER_MINIMUM, nullptr);
}

void FileList::OnValuesDue() {
    KillTimer(parent_, kValuesDueTimer);
    RequestValues();
}

void FileList::RequestValues() {
    if (worker_ && rows_.Size() > 0) worker_->Request(generation_, choice_, rows_.Size());
}

void FileList::OnValuesReady() {
    ValueTable table;
    std::uint32_t generation = 0;
    if (!worker_->Take(table, generation) || generation != generation_) return;
    std::swap(values_, table);
    valuesGeneration_ = generation;
    // The rows in view already show these values, matched as they were
    // painted: only an arrangement made from them is painted again.
    if (Arranged()) Rearrange(SelectedRows());
}

ListFigures FileList::Figures() const {
    ListFigures figures;
    figures.files = rows_.Size();
    figures.filtered = filter_ != ResultFilter::All;
    figures.shown = figures.filtered ? order_.size() : rows_.Size();
    const bool current = valuesGeneration_ == generation_;
    figures.counted = (current && values_.Size() == rows_.Size()) || rows_.Size() == 0;
    figures.countsKnown = current || rows_.Size() == 0;
    if (figures.countsKnown) figures.counts = CountResults(rows_, values_);
    return figures;
}

// After the fixed choices, one for each pattern of the set.
bool FileList::OnCommand(int id, int code) {
    if (id != kResultFilterId || code != CBN_SELCHANGE) return false;
    const int chosen = int(SendMessageA(filterBox_, CB_GETCURSEL, 0, 0));
    const Selection selection = SelectedRows();
    constexpr int kFixed = int(std::size(kFilterNames));
    filter_ = chosen >= kFixed ? ResultFilter::UsedBy
                               : (chosen > 0 ? ResultFilter(chosen) : ResultFilter::All);
    filterUsed_ = chosen - kFixed;
    Rearrange(selection);
    return true;
}

// A choice for a pattern that is gone shows every file again.
void FileList::ShowPatternChoices(std::size_t patterns) {
    constexpr int kFixed = int(std::size(kFilterNames));
    if (patterns == patternChoices_) return;
    patternChoices_ = patterns;
    while (int(SendMessageA(filterBox_, CB_GETCOUNT, 0, 0)) > kFixed) {
        SendMessageA(filterBox_, CB_DELETESTRING, WPARAM(kFixed), 0);
    }
    for (std::size_t n = 1; n <= patterns; ++n) {
        const std::string name = "Read by pattern " + std::to_string(n) +
                                 (n == 1 ? " (the pattern)" : " (fallback " + std::to_string(n - 1) + ")");
        SendMessageA(filterBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (filter_ == ResultFilter::UsedBy && filterUsed_ >= int(patterns)) {
        SendMessageA(filterBox_, CB_SETCURSEL, 0, 0);
        OnCommand(kResultFilterId, CBN_SELCHANGE);
    } else if (filter_ == ResultFilter::UsedBy) {
        SendMessageA(filterBox_, CB_SETCURSEL, WPARAM(kFixed + filterUsed_), 0);
    }
}

bool FileList::OnNotify(const NMHDR& header, LRESULT& result) {
    result = 0;
    if (tip_.IsFrom(header)) {
        auto& info = *reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&header));
        const POINT cell = tip_.CellUnderMouse();
        tip_.Fill(info, cell.x, cell.y >= 0 ? CellAt(std::size_t(cell.y), cell.x) : L"");
        return true;
    }
    if (header.code == HDN_ENDTRACKW || header.code == HDN_ENDTRACKA) {
        columns_.OnSized(reinterpret_cast<const NMHEADERW&>(header));
        return true;
    }
    if (header.hwndFrom != list_) return false;
    if (header.code == NM_CUSTOMDRAW) {
        result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_GETDISPINFOW) {
        FillCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_COLUMNCLICK) {
        SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    }
    return true;
}

const ValueTable& FileList::ValuesOfRow(std::size_t row, std::size_t& valueRow) {
    if (valuesGeneration_ == generation_ && row < values_.Size()) {
        valueRow = row;
        return values_;
    }
    if (singleRow_ != row || singleGeneration_ != generation_) {
        single_.Start(choice_);
        single_.AddRow(rows_.File(row).path);
        singleRow_ = row;
        singleGeneration_ = generation_;
    }
    valueRow = 0;
    return single_;
}

std::wstring FileList::CellAt(std::size_t index, int column) {
    const std::size_t row = RowAt(index);
    if (row >= rows_.Size() || column < 0 || column >= kColumnCount) return L"";
    const PreviewFile& file = rows_.File(row);
    if (column == kFileColumn && !file.wideRelativePath.empty()) return file.wideRelativePath;
    std::size_t valueRow = 0;
    const ValueTable& values = ValuesOfRow(row, valueRow);
    return WideFromCodePage(CellText(rows_, row, values, valueRow, PreviewColumn(column)));
}

void FileList::FillCell(NMLVDISPINFOW& info) {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
    const std::wstring text = CellAt(std::size_t(info.item.iItem), info.item.iSubItem);
    // A shown text: the list's buffer takes what fits.
    lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

// A row that no pattern fits is set apart in colour, whatever its result;
// the File cell is drawn again where the list would cut the file's name.
LRESULT FileList::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    const bool before = draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT;
    if (!before && draw.nmcd.dwDrawStage != CDDS_ITEMPOSTPAINT) return CDRF_DODEFAULT;
    const std::size_t row = RowAt(std::size_t(draw.nmcd.dwItemSpec));
    if (row >= rows_.Size()) return CDRF_DODEFAULT;
    std::size_t valueRow = 0;
    const ValueTable& values = ValuesOfRow(row, valueRow);
    const bool misfit = IsMisfit(values.Outcome(valueRow), rows_.File(row));
    if (!before) {
        DrawFileName(draw, misfit);
        return CDRF_DODEFAULT;
    }
    if (!misfit) return CDRF_NOTIFYPOSTPAINT;
    draw.clrText = kMisfitTextColour;
    draw.clrTextBk = kMisfitBackground;
    return CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
}

// A path too long for its column loses letters in its middle, never the
// file's name at its end, in the colours the list drew the row in.
void FileList::DrawFileName(const NMLVCUSTOMDRAW& draw, bool misfit) {
    const int item = int(draw.nmcd.dwItemSpec);
    const std::wstring text = CellAt(std::size_t(item), kFileColumn);
    RECT cell{LVIR_LABEL, 0, 0, 0};
    if (!SendMessageA(list_, LVM_GETSUBITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&cell))) {
        return;
    }
    HDC dc = draw.nmcd.hdc;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)));
    RECT textArea = cell;
    InflateRect(&textArea, -6, 0);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    if (size.cx > textArea.right - textArea.left) {
        const bool selected = ListView_GetItemState(list_, item, LVIS_SELECTED) & LVIS_SELECTED;
        const bool focused = GetFocus() == list_;
        COLORREF back = misfit ? kMisfitBackground : ListView_GetTextBkColor(list_);
        COLORREF fore = misfit ? kMisfitTextColour : ListView_GetTextColor(list_);
        if (back == CLR_NONE || back == CLR_DEFAULT) back = GetSysColor(COLOR_WINDOW);
        if (fore == CLR_DEFAULT) fore = GetSysColor(COLOR_WINDOWTEXT);
        if (selected) {
            back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
            fore = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
        }
        const HBRUSH brush = CreateSolidBrush(back);
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
        const COLORREF oldFore = SetTextColor(dc, fore);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, text.c_str(), int(text.size()), &textArea,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        SetBkMode(dc, oldMode);
        SetTextColor(dc, oldFore);
    }
    SelectObject(dc, oldFont);
}

std::size_t FileList::RowAt(std::size_t index) const {
    if (!Arranged()) return index;
    return index < order_.size() ? order_[index] : std::size_t(-1);
}

FileList::Selection FileList::SelectedRows() const {
    Selection selection;
    for (int i = -1; (i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) >= 0;) {
        selection.rows.push_back(RowAt(std::size_t(i)));
    }
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (focused >= 0) selection.focused = RowAt(std::size_t(focused));
    return selection;
}

// The selected files stay selected, wherever their rows move.
void FileList::Rearrange(const Selection& selection) {
    order_.clear();
    if (Arranged()) {
        if (sortColumn_ >= 0) {
            order_ = SortedOrder(rows_, values_, PreviewColumn(sortColumn_), ascending_);
        } else {
            order_.resize(values_.Size());
            std::iota(order_.begin(), order_.end(), 0u);
        }
        FilterOrder(order_, rows_, values_, filter_, filterUsed_);
    }
    const std::size_t count = Arranged() ? order_.size() : rows_.Size();
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list_, int(count), LVSICF_NOSCROLL);

    std::vector<int> indexOfRow(rows_.Size(), -1);
    for (std::size_t i = 0; i < count; ++i) indexOfRow[RowAt(i)] = int(i);
    for (std::size_t row : selection.rows) {
        if (row < indexOfRow.size() && indexOfRow[row] >= 0) {
            ListView_SetItemState(list_, indexOfRow[row], LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    const std::size_t focused = selection.focused;
    if (focused < indexOfRow.size() && indexOfRow[focused] >= 0) {
        ListView_SetItemState(list_, indexOfRow[focused], LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(list_, indexOfRow[focused], FALSE);
    }
    InvalidateRect(list_, nullptr, FALSE);
}

void FileList::SortBy(int column) {
    const Selection selection = SelectedRows();
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    ShowSortArrow();
    Rearrange(selection);
}

void FileList::ShowSortArrow() {
    HWND header = ListView_GetHeader(list_);
    for (int c = 0; c < kColumnCount; ++c) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, WPARAM(c), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == sortColumn_) item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, WPARAM(c), reinterpret_cast<LPARAM>(&item));
    }
}
