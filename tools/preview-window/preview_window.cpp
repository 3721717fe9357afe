#include "tools/preview-window/preview_window.h"

#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <shared_mutex>
#include <vector>

#include "hostenv/host_folders.h"
#include "plugin/tag_pattern_setting.h"
#include "tagging/pattern_check.h"
#include "tools/preview-window/folder_walk.h"
#include "tools/preview-window/match_worker.h"
#include "tools/preview-window/preview_rows.h"
#include "tools/preview-window/window_settings.h"
#include "ui/plain_window.h"

namespace {

// WM_USER + 0 is taken by the dialog manager's default-button query.
constexpr UINT kFilesArrived = WM_APP + 1;
constexpr UINT kValuesReady = WM_APP + 2;

constexpr int kColumnWidths[kColumnCount] = {260, 120, 120, 160, 80, 50, 45, 160};
constexpr int kStatusPartEnds[] = {150, 290, 450, 570, 760, -1};
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kLabelWidth = 60;
constexpr int kButtonWidth = 120;
constexpr int kWarningLines = 4;

std::string WindowText(HWND window) {
    std::string text(std::size_t(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

std::string Counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what;
}

class PreviewWindow {
public:
    PreviewWindow(HINSTANCE instance, const PreviewOptions& options);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND AddControl(const char* className, const char* text, DWORD style, int id);
    void CreateControls();
    void AddColumns();
    void Layout();
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);

    void OnPatternChanged();
    void ShowWarnings();
    void UpdateUseButton();
    void UsePattern();

    void Browse();
    void StartWalk(const std::string& folder);
    void OnFilesArrived();
    void RequestValues();
    void OnValuesReady();

    void FillCell(NMLVDISPINFOA& info);
    const ValueTable& ValuesOfRow(std::size_t row, std::size_t& valueRow);
    std::size_t RowAt(std::size_t index) const;
    void SortBy(int column);
    void ShowSortArrow();
    void UpdateStatus();
    void Close();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    HWND patternLabel_ = nullptr, patternEdit_ = nullptr, useButton_ = nullptr;
    HWND warnings_ = nullptr;
    HWND folderLabel_ = nullptr, folderEdit_ = nullptr, browseButton_ = nullptr;
    HWND list_ = nullptr, status_ = nullptr;

    PathText patternInForce_;
    std::string pattern_;  // the box's text, as matched

    PreviewRows rows_;
    std::shared_mutex rowsLock_;  // held while rows are added or cleared
    std::unique_ptr<FolderWalk> walk_;
    bool walking_ = false;
    std::unique_ptr<MatchWorker> worker_;

    // Every change of pattern or folder starts a generation; the worker's
    // table counts only when it is of the current one.
    std::uint32_t generation_ = 1;
    ValueTable values_;
    std::uint32_t valuesGeneration_ = 0;
    // The row the list asked for last, matched on the spot while the worker's
    // table is not yet current: the list asks once per cell.
    ValueTable single_;
    std::size_t singleRow_ = std::size_t(-1);
    std::uint32_t singleGeneration_ = 0;

    std::vector<std::uint32_t> order_;  // empty: the order the folder was read
    int sortColumn_ = -1;
    bool ascending_ = true;

    std::unique_ptr<PlainWindow> plain_;
};

PreviewWindow::PreviewWindow(HINSTANCE instance, const PreviewOptions& options)
    : instance_(instance) {
    LoadStoredTagPattern();
    patternInForce_ = CopyOfCurrentTagPattern();
    worker_ = std::make_unique<MatchWorker>(rows_, rowsLock_, [this] {
        PostMessageA(window_, kValuesReady, 0, 0);
    });

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectA(&metrics.lfMessageFont);

    const WindowSize size = ReadWindowSize();
    const bool remembered = size.width > 0 && size.height > 0;
    plain_ = std::make_unique<PlainWindow>(
        "PathTagger Preview", kPreviewWindowClass, 0, Procedure, instance,
        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), LoadCursor(nullptr, IDC_ARROW), nullptr,
        LoadIcon(nullptr, IDI_APPLICATION), WS_EX_CONTROLPARENT,
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
        remembered ? size.width : 960, remembered ? size.height : 600, nullptr, this);

    SetWindowTextA(patternEdit_, options.patternGiven ? options.pattern.c_str()
                                                      : patternInForce_.CStr());
    // Setting a text equal to the box's own sends no change.
    OnPatternChanged();
    const std::string folder = options.folder.empty() ? ReadLastFolder() : options.folder;
    SetWindowTextA(folderEdit_, folder.c_str());
    plain_->Show();
    StartWalk(folder);
    SetFocus(patternEdit_);
}

PreviewWindow::~PreviewWindow() {
    // The threads first: they only post to the window, never wait for it.
    walk_.reset();
    worker_.reset();
    plain_.reset();
    DeleteObject(font_);
}

int PreviewWindow::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        // Tab, Enter and Escape as in a dialog.
        if (IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == -1 ? 1 : int(message.wParam);
}

LRESULT CALLBACK PreviewWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PreviewWindow*>(
            reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT PreviewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            Layout();
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {480, 320};
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case kFilesArrived:
            OnFilesArrived();
            return 0;
        case kValuesReady:
            OnValuesReady();
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        default:
            return DefWindowProcA(window_, message, wParam, lParam);
    }
}

HWND PreviewWindow::AddControl(const char* className, const char* text, DWORD style, int id) {
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                                   0, window_, reinterpret_cast<HMENU>(INT_PTR(id)),
                                   instance_, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
}

// Created in tab order: pattern, its button, folder, its button, list.
void PreviewWindow::CreateControls() {
    patternLabel_ = AddControl("STATIC", "&Pattern:", SS_LEFT, -1);
    patternEdit_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                              kPatternEditId);
    useButton_ = AddControl("BUTTON", "&Use this pattern", WS_TABSTOP | BS_PUSHBUTTON,
                            kUsePatternButtonId);
    warnings_ = AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, kWarningsTextId);
    folderLabel_ = AddControl("STATIC", "&Folder:", SS_LEFT, -1);
    folderEdit_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                             kFolderEditId);
    browseButton_ = AddControl("BUTTON", "&Browse...", WS_TABSTOP | BS_PUSHBUTTON,
                               kBrowseButtonId);
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(INT_PTR(kFileListId)), instance_, nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    AddColumns();
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                              0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(INT_PTR(kStatusBarId)), instance_,
                              nullptr);
    SendMessageA(status_, SB_SETPARTS, std::size(kStatusPartEnds),
                 reinterpret_cast<LPARAM>(kStatusPartEnds));
}

void PreviewWindow::AddColumns() {
    for (int c = 0; c < kColumnCount; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = (c == kYearColumn || c == kTrackColumn) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = kColumnWidths[c];
        column.pszText = const_cast<char*>(kColumnTitles[c]);
        SendMessageA(list_, LVM_INSERTCOLUMNA, WPARAM(c), reinterpret_cast<LPARAM>(&column));
    }
}

void PreviewWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right;
    SendMessageA(status_, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(status_, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;

    const int editWidth = width - 4 * kMargin - kLabelWidth - kButtonWidth;
    int y = kMargin;
    MoveWindow(patternLabel_, kMargin, y + 4, kLabelWidth, kRowHeight - 4, TRUE);
    MoveWindow(patternEdit_, 2 * kMargin + kLabelWidth, y, editWidth, kRowHeight, TRUE);
    MoveWindow(useButton_, width - kMargin - kButtonWidth, y, kButtonWidth, kRowHeight, TRUE);
    y += kRowHeight + 2;
    const int warningsHeight = kWarningLines * 15;
    MoveWindow(warnings_, 2 * kMargin + kLabelWidth, y, width - 3 * kMargin - kLabelWidth,
               warningsHeight, TRUE);
    y += warningsHeight + 4;
    MoveWindow(folderLabel_, kMargin, y + 4, kLabelWidth, kRowHeight - 4, TRUE);
    MoveWindow(folderEdit_, 2 * kMargin + kLabelWidth, y, editWidth, kRowHeight, TRUE);
    MoveWindow(browseButton_, width - kMargin - kButtonWidth, y, kButtonWidth, kRowHeight, TRUE);
    y += kRowHeight + kMargin;
    MoveWindow(list_, kMargin, y, width - 2 * kMargin,
               client.bottom - statusHeight - kMargin - y, TRUE);
}

void PreviewWindow::OnCommand(int id, int code) {
    if (id == kPatternEditId && code == EN_CHANGE) OnPatternChanged();
    if (id == kUsePatternButtonId && code == BN_CLICKED) UsePattern();
    if (id == kBrowseButtonId && code == BN_CLICKED) Browse();
    // Enter never closes the window; in the folder box it reads that folder.
    if (id == IDOK && GetFocus() == folderEdit_) StartWalk(WindowText(folderEdit_));
    if (id == IDCANCEL) Close();
}

LRESULT PreviewWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return 0;
    if (header.code == LVN_GETDISPINFOA) {
        FillCell(*reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_COLUMNCLICK) {
        SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    }
    return 0;
}

// Every keystroke: the rows in view are matched while the list repaints,
// before this returns; the worker matches the rest for counts and sorting.
void PreviewWindow::OnPatternChanged() {
    pattern_ = WindowText(patternEdit_);
    ++generation_;
    ShowWarnings();
    UpdateUseButton();
    InvalidateRect(list_, nullptr, FALSE);
    UpdateWindow(list_);
    RequestValues();
    UpdateStatus();
}

void PreviewWindow::ShowWarnings() {
    std::string text;
    for (const PatternWarning& w : CheckPattern(pattern_.c_str())) {
        if (!text.empty()) text += "\r\n";
        text += w.message;
    }
    SetWindowTextA(warnings_, text.c_str());
}

void PreviewWindow::UpdateUseButton() {
    const bool inForce = pattern_ == patternInForce_.CStr();
    if (inForce && GetFocus() == useButton_) SetFocus(patternEdit_);
    EnableWindow(useButton_, !inForce);
}

// Stored as the plugin's page stores an edit: the box's text as the
// platform's 260-character read gives it, at once.
void PreviewWindow::UsePattern() {
    char text[kMaxPathText] = "";
    GetWindowTextA(patternEdit_, text, sizeof text);
    SetAndStoreTagPattern(text);
    patternInForce_ = CopyOfCurrentTagPattern();
    UpdateUseButton();
}

void PreviewWindow::Browse() {
    BROWSEINFOA info{};
    info.hwndOwner = window_;
    info.lpszTitle = "Choose the folder whose files the pattern is to be tried on";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (!chosen) return;
    char folder[MAX_PATH] = "";
    const bool named = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (!named) return;
    SetWindowTextA(folderEdit_, folder);
    StartWalk(folder);
}

void PreviewWindow::StartWalk(const std::string& folder) {
    walk_.reset();
    {
        std::unique_lock<std::shared_mutex> lock(rowsLock_);
        rows_.Clear();
    }
    ++generation_;
    values_.Clear();
    order_.clear();
    ListView_SetItemCountEx(list_, 0, 0);
    walking_ = !folder.empty();
    if (walking_) {
        StoreLastFolder(folder);
        HWND window = window_;
        walk_ = std::make_unique<FolderWalk>(folder, [window] {
            PostMessageA(window, kFilesArrived, 0, 0);
        });
    }
    UpdateStatus();
}

void PreviewWindow::OnFilesArrived() {
    if (!walk_) return;
    std::vector<PreviewFile> files;
    const bool ended = walk_->Take(files);
    if (!files.empty()) {
        std::unique_lock<std::shared_mutex> lock(rowsLock_);
        for (PreviewFile& file : files) rows_.Add(std::move(file));
    }
    if (ended && walking_) walking_ = false;
    ListView_SetItemCountEx(list_, int(rows_.Size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    RequestValues();
    UpdateStatus();
}

void PreviewWindow::RequestValues() {
    if (worker_ && rows_.Size() > 0) worker_->Request(generation_, pattern_, rows_.Size());
}

void PreviewWindow::OnValuesReady() {
    ValueTable table;
    std::uint32_t generation = 0;
    if (!worker_->Take(table, generation) || generation != generation_) return;
    std::swap(values_, table);
    valuesGeneration_ = generation;
    if (sortColumn_ >= 0) {
        order_ = SortedOrder(rows_, values_, PreviewColumn(sortColumn_), ascending_);
    }
    InvalidateRect(list_, nullptr, FALSE);
    UpdateStatus();
}

std::size_t PreviewWindow::RowAt(std::size_t index) const {
    return index < order_.size() ? order_[index] : index;
}

const ValueTable& PreviewWindow::ValuesOfRow(std::size_t row, std::size_t& valueRow) {
    if (valuesGeneration_ == generation_ && row < values_.Size()) {
        valueRow = row;
        return values_;
    }
    if (singleRow_ != row || singleGeneration_ != generation_) {
        single_.Clear();
        single_.AddRow(pattern_.c_str(), rows_.File(row).path);
        singleRow_ = row;
        singleGeneration_ = generation_;
    }
    valueRow = 0;
    return single_;
}

void PreviewWindow::FillCell(NMLVDISPINFOA& info) {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
    const std::size_t row = RowAt(std::size_t(info.item.iItem));
    if (row >= rows_.Size() || info.item.iSubItem < 0 || info.item.iSubItem >= kColumnCount) {
        info.item.pszText[0] = '\0';
        return;
    }
    std::size_t valueRow = 0;
    const ValueTable& values = ValuesOfRow(row, valueRow);
    const std::string text =
        CellText(rows_, row, values, valueRow, PreviewColumn(info.item.iSubItem));
    // A shown text: the list's buffer takes what fits.
    lstrcpynA(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

void PreviewWindow::SortBy(int column) {
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    order_ = SortedOrder(rows_, values_, PreviewColumn(column), ascending_);
    ShowSortArrow();
    InvalidateRect(list_, nullptr, FALSE);
}

void PreviewWindow::ShowSortArrow() {
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

void PreviewWindow::UpdateStatus() {
    std::string parts[std::size(kStatusPartEnds)];
    parts[0] = (walking_ ? "Reading the folder: " : "") + Counted(rows_.Size(), "files");
    if (valuesGeneration_ == generation_ || rows_.Size() == 0) {
        const PreviewCounts counts = CountResults(rows_, values_);
        parts[1] = Counted(counts.tagged, "would be tagged");
        parts[2] = Counted(counts.nothingRecognised, "nothing recognised");
        parts[3] = Counted(counts.noDecoder, "no decoder");
        parts[4] = Counted(counts.cannotWrite, "decoder cannot write tags");
    }
    if (walking_ || valuesGeneration_ != generation_ || values_.Size() != rows_.Size()) {
        parts[5] = rows_.Size() ? "counting..." : "";
    }
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        SendMessageA(status_, SB_SETTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(parts[i].c_str()));
    }
}

void PreviewWindow::Close() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        StoreWindowSize({int(r.right - r.left), int(r.bottom - r.top)});
    }
    PostQuitMessage(0);
}

}  // namespace

int RunPreviewWindow(HINSTANCE instance, const PreviewOptions& options) {
    // The host's decoders are those below the installation folder that the
    // host recorded. Resolved first, it is the folder the catalogue loads
    // from too, since the folder is resolved once per process.
    PathText installFolder;
    GetInstallFolder(installFolder, true);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    PreviewWindow window(instance, options);
    return window.Run();
}
