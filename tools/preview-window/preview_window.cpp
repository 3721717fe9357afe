#include "tools/preview-window/preview_window.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <shared_mutex>
#include <vector>

#include "decoders/decoder_catalogue.h"
#include "hostenv/host_folders.h"
#include "plugin/tag_pattern_setting.h"
#include "tagging/pattern_check.h"
#include "tagging/tag_pattern_matcher.h"
#include "tools/preview-window/code_page_text.h"
#include "tools/preview-window/folder_walk.h"
#include "tools/preview-window/match_worker.h"
#include "tools/preview-window/preview_rows.h"
#include "tools/preview-window/suggest_worker.h"
#include "tools/preview-window/suggestion_dialog.h"
#include "tools/preview-window/window_settings.h"
#include "ui/plain_window.h"

namespace {

// WM_USER + 0 is taken by the dialog manager's default-button query.
constexpr UINT kFilesArrived = WM_APP + 1;
constexpr UINT kValuesReady = WM_APP + 2;
constexpr UINT kSuggestionsReady = WM_APP + 3;

// The share of the list's width each column gets; none narrower than its
// heading with a sort arrow.
constexpr int kColumnWeights[kColumnCount] = {240, 100, 100, 140, 60, 50, 50, 270};
constexpr int kStatusPartEnds[] = {170, 290, 420, 515, 685, 790, 885, -1};
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kTokenRowHeight = 22;
constexpr int kLabelWidth = 60;
constexpr int kButtonWidth = 120;
constexpr int kFilterWidth = 150;
constexpr int kIconSize = 16;
constexpr int kGap = 4;
constexpr int kFallbackListHeight = 3 * kTokenRowHeight + 2 * kGap;  // beside its three buttons
constexpr int kCheckBoxHeight = 20;
constexpr std::size_t kSuggestionsShown = 10;

constexpr const char* kFilterNames[] = {"All files", "Tagged", "Not tagged",
                                        "Recognising nothing", "Does not fit"};

std::string WindowText(HWND window) {
    std::string text(std::size_t(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(std::size_t(GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

std::string Counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what;
}

std::string Counted(std::size_t n, const char* one, const char* many) {
    return Counted(n, n == 1 ? one : many);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromCodePage(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether the plugin would find any of the host's decoders, and if not, why,
// in a user's words.
struct HostDecoders {
    bool found = false;
    std::string why;
};

HostDecoders FindHostDecoders() {
    HostDecoders host;
    PathText installFolder;
    if (!GetInstallFolder(installFolder, true) || installFolder.Empty()) {
        host.why = "The host's decoders were not found: no installation folder is recorded"
                   " (InstalledTo), so no file would be tagged.";
        return host;
    }
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    host.found = catalogue && catalogue->formats.count > 0;
    if (!host.found) {
        PathText decoderFolder;
        // A decoder folder whose name does not fit has none loaded from it.
        const char* where = GetInputPluginFolder(decoderFolder, true)
                                ? decoderFolder.CStr()
                                : "a decoder folder whose name is too long";
        host.why = std::string("The host's decoders were not found: no decoder in ") + where +
                   ", so no file would be tagged.";
    }
    return host;
}

// A line of text with a warning sign before it, as tall as its text
// wrapped to the width it is given, and nothing at all without a text.
class NoteArea {
public:
    void Create(HWND parent, HINSTANCE instance, HFONT font, int id) {
        icon_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_ICON | SS_REALSIZECONTROL, 0, 0,
                                kIconSize, kIconSize, parent, nullptr, instance, nullptr);
        const HANDLE sign = LoadImageA(nullptr, MAKEINTRESOURCEA(32515 /* OIC_WARNING */),
                                       IMAGE_ICON, kIconSize, kIconSize, LR_SHARED);
        SendMessageA(icon_, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(sign));
        text_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
        SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        font_ = font;
    }
    // True when the text changed, and with it perhaps the height.
    bool Set(const std::string& text) {
        if (text == shown_) return false;
        shown_ = text;
        SetWindowTextA(text_, text.c_str());
        ShowWindow(icon_, text.empty() ? SW_HIDE : SW_SHOW);
        ShowWindow(text_, text.empty() ? SW_HIDE : SW_SHOW);
        return true;
    }
    int HeightFor(int width) const {
        if (shown_.empty()) return 0;
        HDC dc = GetDC(text_);
        HGDIOBJ old = SelectObject(dc, font_);
        RECT rect{0, 0, width, 0};
        DrawTextA(dc, shown_.c_str(), -1, &rect,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(text_, dc);
        return std::max(int(rect.bottom), kIconSize);
    }
    // The sign in the labels' column, the text where the boxes begin; the
    // height used, with the gap below it.
    int Place(int y, int textX, int width) const {
        const int height = HeightFor(width);
        if (height == 0) return 0;
        MoveWindow(icon_, textX - kIconSize - kGap, y, kIconSize, kIconSize, TRUE);
        MoveWindow(text_, textX, y, width, height, TRUE);
        // A static does not wrap again on its own when only its size changes.
        InvalidateRect(text_, nullptr, TRUE);
        return height + kGap;
    }

private:
    HWND icon_ = nullptr;
    HWND text_ = nullptr;
    HFONT font_ = nullptr;
    std::string shown_;
};

class PreviewWindow {
public:
    PreviewWindow(HINSTANCE instance, const PreviewOptions& options, HostDecoders host);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    int Run();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND AddControl(const char* className, const char* text, DWORD style, int id);
    void CreateControls();
    void CreateTokenButtons();
    void AddColumns();
    void Layout();
    int PlaceTokenButtons(int x, int y);
    void FitColumns();
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    void MoveFocus(WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);

    void OnPatternChanged();
    void RematchRows();
    void ShowWarnings();
    bool PatternStorable() const;
    void UpdateUseButton();
    void UsePattern();
    void InsertToken(int index);

    void Suggest();
    void UpdateSuggestButton();
    void OnSuggestionsReady();
    void OnOnlyWhenFitsClicked();
    void ShowFallbacks(int selected);
    void UpdateFallbackButtons();
    void AddFallback();
    void MoveFallback(int by);
    void RemoveFallback();
    void StoreFallbacks(int selected);
    int SelectedFallback() const;

    void Browse();
    void ReadFolderBox(bool evenIfShown);
    void StartWalk(const std::string& folder);
    void ShowNotice();
    void OnFilesArrived();
    void RequestValues();
    void OnValuesReady();

    void FillCell(NMLVDISPINFOW& info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    std::wstring CellAt(std::size_t index, int column);
    void CreateCellTip();
    static LRESULT CALLBACK ListMouse(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);
    POINT CellUnderMouse() const;
    void FillCellTip(NMTTDISPINFOW& info);
    const ValueTable& ValuesOfRow(std::size_t row, std::size_t& valueRow);
    bool Arranged() const { return sortColumn_ >= 0 || filter_ != ResultFilter::All; }
    std::size_t RowAt(std::size_t index) const;
    struct Selection {
        std::vector<std::size_t> rows;
        std::size_t focused = std::size_t(-1);
    };
    // Taken before the arrangement changes, put back after it.
    Selection SelectedRows() const;
    void Rearrange(const Selection& selection);
    void SortBy(int column);
    void ShowSortArrow();
    void UpdateStatus();
    bool ConfirmUnstoredPattern();
    void Close();

    HINSTANCE instance_;
    HostDecoders host_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    HWND patternLabel_ = nullptr, patternEdit_ = nullptr, useButton_ = nullptr;
    HWND suggestButton_ = nullptr;
    HWND fallbackLabel_ = nullptr, fallbackList_ = nullptr, fallbackEdit_ = nullptr;
    HWND addFallbackButton_ = nullptr, upButton_ = nullptr, downButton_ = nullptr;
    HWND removeButton_ = nullptr, onlyWhenFitsBox_ = nullptr;
    HWND tokenLabel_ = nullptr;
    HWND tokenButtons_[6] = {};
    NoteArea warnings_;
    HWND folderLabel_ = nullptr, folderEdit_ = nullptr, browseButton_ = nullptr;
    HWND filterLabel_ = nullptr, filterBox_ = nullptr;
    NoteArea notice_;
    HWND list_ = nullptr, status_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    // Shows a cell's whole text where its column cuts it.
    HWND cellTip_ = nullptr;
    POINT tipCell_ = {-1, -1};  // column, row index
    std::wstring tipText_;

    PathText patternInForce_;
    std::string pattern_;  // the box's text, as matched
    std::vector<std::string> fallbacks_;  // as stored
    bool onlyWhenFits_ = false;           // as stored
    // The box's pattern, the fallbacks and the check box: what the rows
    // are matched with, as the plugin would choose among them.
    PatternChoice choice_;
    std::string shownFolder_;  // the folder whose files the list holds
    std::string folderProblem_;

    PreviewRows rows_;
    std::shared_mutex rowsLock_;  // held while rows are added or cleared
    std::unique_ptr<FolderWalk> walk_;
    bool walking_ = false;
    std::unique_ptr<MatchWorker> worker_;
    // Every folder read is a new one; suggestions for an earlier one are
    // not shown.
    std::uint32_t folderSerial_ = 0;
    std::uint32_t suggestSerial_ = 0;
    std::unique_ptr<SuggestWorker> suggest_;

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

    // While a column is sorted or rows are filtered the list shows order_,
    // made from the values of the last table; otherwise every row as read.
    std::vector<std::uint32_t> order_;
    int sortColumn_ = -1;
    bool ascending_ = true;
    ResultFilter filter_ = ResultFilter::All;

    std::unique_ptr<PlainWindow> plain_;
};

PreviewWindow::PreviewWindow(HINSTANCE instance, const PreviewOptions& options,
                             HostDecoders host)
    : instance_(instance), host_(std::move(host)) {
    LoadStoredTagPattern();
    patternInForce_ = CopyOfCurrentTagPattern();
    const PatternChoice stored = CopyOfTagPatternsInForce();
    for (std::size_t i = 1; i < stored.count; ++i) fallbacks_.push_back(stored.patterns[i].CStr());
    onlyWhenFits_ = stored.onlyWhenFits;
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
        LoadIconA(instance, "PathTagger"), WS_EX_CONTROLPARENT,
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
        remembered ? size.width : 960, remembered ? size.height : 600, nullptr, this);

    SendMessageA(onlyWhenFitsBox_, BM_SETCHECK, onlyWhenFits_ ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowFallbacks(-1);
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
    suggest_.reset();
    walk_.reset();
    worker_.reset();
    plain_.reset();
    DeleteObject(font_);
}

int PreviewWindow::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        // F5 reads the folder again, wherever the focus is.
        if (message.message == WM_KEYDOWN && message.wParam == VK_F5) {
            ReadFolderBox(true);
            continue;
        }
        // Tab, Enter, Escape and the labels' Alt keys as in a dialog.
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
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {560, 480};
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_NEXTDLGCTL:
            MoveFocus(wParam, lParam);
            return 0;
        case WM_NOTIFYFORMAT:
            // The list asks in wide text, so that names outside the code
            // page show as the disk names them.
            return lParam == NF_QUERY ? NFR_UNICODE : 0;
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
        case kSuggestionsReady:
            OnSuggestionsReady();
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

// Created in tab order: pattern, its buttons, the fallbacks and theirs,
// the check box, folder, its button, the filter, list. The token buttons
// are for the mouse; the keyboard types.
void PreviewWindow::CreateControls() {
    patternLabel_ = AddControl("STATIC", "&Pattern:", SS_LEFT, -1);
    patternEdit_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                              kPatternEditId);
    useButton_ = AddControl("BUTTON", "&Use this pattern", WS_TABSTOP | BS_PUSHBUTTON,
                            kUsePatternButtonId);
    suggestButton_ = AddControl("BUTTON", "Su&ggest...", WS_TABSTOP | BS_PUSHBUTTON,
                                kSuggestButtonId);
    CreateTokenButtons();
    warnings_.Create(window_, instance_, font_, kWarningsTextId);
    fallbackLabel_ = AddControl("STATIC", "Fallbac&ks:", SS_LEFT, -1);
    fallbackList_ = AddControl("LISTBOX", "",
                               WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                   LBS_NOINTEGRALHEIGHT,
                               kFallbackListId);
    upButton_ = AddControl("BUTTON", "Move up", WS_TABSTOP | BS_PUSHBUTTON, kFallbackUpButtonId);
    downButton_ = AddControl("BUTTON", "Move down", WS_TABSTOP | BS_PUSHBUTTON,
                             kFallbackDownButtonId);
    removeButton_ = AddControl("BUTTON", "&Remove", WS_TABSTOP | BS_PUSHBUTTON,
                               kRemoveFallbackButtonId);
    fallbackEdit_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                               kFallbackEditId);
    addFallbackButton_ = AddControl("BUTTON", "&Add fallback", WS_TABSTOP | BS_PUSHBUTTON,
                                    kAddFallbackButtonId);
    onlyWhenFitsBox_ = AddControl("BUTTON", "Only &tag files the pattern fits",
                                  WS_TABSTOP | BS_AUTOCHECKBOX, kOnlyWhenFitsBoxId);
    folderLabel_ = AddControl("STATIC", "&Folder:", SS_LEFT, -1);
    folderEdit_ = AddControl("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                             kFolderEditId);
    browseButton_ = AddControl("BUTTON", "&Browse...", WS_TABSTOP | BS_PUSHBUTTON,
                               kBrowseButtonId);
    filterLabel_ = AddControl("STATIC", "&Show:", SS_RIGHT, -1);
    filterBox_ = AddControl("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                            kResultFilterId);
    for (const char* name : kFilterNames) {
        SendMessageA(filterBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(filterBox_, CB_SETCURSEL, 0, 0);
    notice_.Create(window_, instance_, font_, kNoticeTextId);
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(INT_PTR(kFileListId)), instance_, nullptr);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    AddColumns();
    CreateCellTip();
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                              0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(INT_PTR(kStatusBarId)), instance_,
                              nullptr);
    SendMessageA(status_, SB_SETPARTS, std::size(kStatusPartEnds),
                 reinterpret_cast<LPARAM>(kStatusPartEnds));
}

// One button per token, labelled with what it fills where its name alone
// would mislead.
void PreviewWindow::CreateTokenButtons() {
    tokenLabel_ = AddControl("STATIC", "Insert:", SS_LEFT | SS_NOPREFIX, -1);
    for (int i = 0; i < int(std::size(tokenButtons_)); ++i) {
        const TagToken token = TagToken(int(TagToken::Artist) + i);
        std::string label = SpellingOfToken(token);
        if (token == TagToken::Title) label += " = title";
        tokenButtons_[i] = AddControl("BUTTON", label.c_str(), BS_PUSHBUTTON,
                                      kFirstTokenButtonId + i);
    }
}

void PreviewWindow::AddColumns() {
    for (int c = 0; c < kColumnCount; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = (c == kYearColumn || c == kTrackColumn) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = kColumnWeights[c];
        column.pszText = const_cast<char*>(kColumnTitles[c]);
        SendMessageA(list_, LVM_INSERTCOLUMNA, WPARAM(c), reinterpret_cast<LPARAM>(&column));
    }
}

int PreviewWindow::PlaceTokenButtons(int x, int y) {
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, font_);
    for (HWND button : tokenButtons_) {
        const std::string label = WindowText(button);
        SIZE size{};
        GetTextExtentPoint32A(dc, label.c_str(), int(label.size()), &size);
        MoveWindow(button, x, y, size.cx + 16, kTokenRowHeight, TRUE);
        x += size.cx + 16 + kGap;
    }
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    return kTokenRowHeight + kGap;
}

void PreviewWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right;
    SendMessageA(status_, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(status_, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;

    const int boxX = 2 * kMargin + kLabelWidth;
    const int patternWidth = width - boxX - 3 * kMargin - 2 * kButtonWidth;
    const int buttonX = width - kMargin - kButtonWidth;
    int y = kMargin;
    MoveWindow(patternLabel_, kMargin, y + 4, kLabelWidth, kRowHeight - 4, TRUE);
    MoveWindow(patternEdit_, boxX, y, patternWidth, kRowHeight, TRUE);
    MoveWindow(useButton_, buttonX - kMargin - kButtonWidth, y, kButtonWidth, kRowHeight, TRUE);
    MoveWindow(suggestButton_, buttonX, y, kButtonWidth, kRowHeight, TRUE);
    y += kRowHeight + kGap;
    MoveWindow(tokenLabel_, kMargin, y + 3, kLabelWidth, kTokenRowHeight - 3, TRUE);
    y += PlaceTokenButtons(boxX, y);
    y += warnings_.Place(y, boxX, width - boxX - kMargin);

    const int fallbackWidth = width - boxX - 2 * kMargin - kButtonWidth;
    MoveWindow(fallbackLabel_, kMargin, y + 3, kLabelWidth, kTokenRowHeight - 3, TRUE);
    MoveWindow(fallbackList_, boxX, y, fallbackWidth, kFallbackListHeight, TRUE);
    int buttonY = y;
    for (HWND button : {upButton_, downButton_, removeButton_}) {
        MoveWindow(button, buttonX, buttonY, kButtonWidth, kTokenRowHeight, TRUE);
        buttonY += kTokenRowHeight + kGap;
    }
    y += kFallbackListHeight + kGap;
    MoveWindow(fallbackEdit_, boxX, y, fallbackWidth, kRowHeight, TRUE);
    MoveWindow(addFallbackButton_, buttonX, y, kButtonWidth, kRowHeight, TRUE);
    y += kRowHeight + kGap;
    MoveWindow(onlyWhenFitsBox_, boxX, y, fallbackWidth, kCheckBoxHeight, TRUE);
    y += kCheckBoxHeight + kMargin;

    const int folderWidth = width - boxX - 4 * kMargin - kButtonWidth - kLabelWidth - kFilterWidth;
    MoveWindow(folderLabel_, kMargin, y + 4, kLabelWidth, kRowHeight - 4, TRUE);
    MoveWindow(folderEdit_, boxX, y, folderWidth, kRowHeight, TRUE);
    int x = boxX + folderWidth + kMargin;
    MoveWindow(browseButton_, x, y, kButtonWidth, kRowHeight, TRUE);
    x += kButtonWidth + kMargin;
    MoveWindow(filterLabel_, x, y + 4, kLabelWidth - kGap, kRowHeight - 4, TRUE);
    MoveWindow(filterBox_, x + kLabelWidth, y, kFilterWidth, 200, TRUE);
    y += kRowHeight + kMargin;
    y += notice_.Place(y, boxX, width - boxX - kMargin);

    MoveWindow(list_, kMargin, y, width - 2 * kMargin,
               std::max(0, int(client.bottom) - statusHeight - kMargin - y), TRUE);
    FitColumns();
}

// The columns share the list's width, a vertical scroll bar's room kept so
// that its coming does not add a horizontal one.
void PreviewWindow::FitColumns() {
    RECT client;
    GetClientRect(list_, &client);
    const bool scrollBar = GetWindowLongA(list_, GWL_STYLE) & WS_VSCROLL;
    const int available =
        int(client.right) - (scrollBar ? 0 : GetSystemMetrics(SM_CXVSCROLL));
    int totalWeight = 0;
    for (int weight : kColumnWeights) totalWeight += weight;
    // Columns whose share would not hold their heading get just that; the
    // others share what is left.
    int least[kColumnCount];
    bool pinned[kColumnCount];
    int left = available, leftWeight = totalWeight;
    for (int c = 0; c < kColumnCount; ++c) {
        const int heading = int(SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0,
                                             reinterpret_cast<LPARAM>(kColumnTitles[c])));
        least[c] = heading + 32;  // the heading's margins and sort arrow
        pinned[c] = available * kColumnWeights[c] / totalWeight < least[c];
        if (pinned[c]) {
            left -= least[c];
            leftWeight -= kColumnWeights[c];
        }
    }
    for (int c = 0; c < kColumnCount; ++c) {
        const int width =
            pinned[c] ? least[c] : std::max(least[c], left * kColumnWeights[c] / leftWeight);
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, WPARAM(c), MAKELPARAM(width, 0));
    }
}

void PreviewWindow::OnCommand(int id, int code) {
    if (id == kPatternEditId && code == EN_CHANGE) OnPatternChanged();
    if (id == kUsePatternButtonId && code == BN_CLICKED) UsePattern();
    if (id == kBrowseButtonId && code == BN_CLICKED) Browse();
    if (id == kSuggestButtonId && code == BN_CLICKED) Suggest();
    if (id == kOnlyWhenFitsBoxId && code == BN_CLICKED) OnOnlyWhenFitsClicked();
    if (id == kAddFallbackButtonId && code == BN_CLICKED) AddFallback();
    if (id == kFallbackUpButtonId && code == BN_CLICKED) MoveFallback(-1);
    if (id == kFallbackDownButtonId && code == BN_CLICKED) MoveFallback(+1);
    if (id == kRemoveFallbackButtonId && code == BN_CLICKED) RemoveFallback();
    if ((id == kFallbackListId && code == LBN_SELCHANGE) ||
        (id == kFallbackEditId && code == EN_CHANGE)) {
        UpdateFallbackButtons();
    }
    if (id >= kFirstTokenButtonId && id < kFirstTokenButtonId + int(std::size(tokenButtons_)) &&
        code == BN_CLICKED) {
        InsertToken(id - kFirstTokenButtonId);
    }
    // A folder typed into the box is read when the box is left, as when
    // Enter is pressed in it.
    if (id == kFolderEditId && code == EN_KILLFOCUS) ReadFolderBox(false);
    if (id == kResultFilterId && code == CBN_SELCHANGE) {
        const LRESULT chosen = SendMessageA(filterBox_, CB_GETCURSEL, 0, 0);
        const Selection selection = SelectedRows();
        filter_ = chosen > 0 ? ResultFilter(chosen) : ResultFilter::All;
        Rearrange(selection);
        UpdateStatus();
    }
    // Enter never closes the window; in the folder box it reads that folder,
    // in the fallback box it adds the fallback.
    if (id == IDOK && GetFocus() == folderEdit_) ReadFolderBox(true);
    if (id == IDOK && GetFocus() == fallbackEdit_) AddFallback();
    if (id == IDCANCEL) Close();
}

LRESULT PreviewWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == cellTip_ && header.code == TTN_GETDISPINFOW) {
        FillCellTip(*reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(&header)));
        return 0;
    }
    if (header.hwndFrom != list_) return 0;
    if (header.code == NM_CUSTOMDRAW) {
        return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    }
    if (header.code == LVN_GETDISPINFOW) {
        FillCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_COLUMNCLICK) {
        SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
    }
    return 0;
}

// What the dialog manager does for a dialog: a label's Alt key and Tab ask
// for the focus to move, and an edit box that gets it has its text selected.
void PreviewWindow::MoveFocus(WPARAM wParam, LPARAM lParam) {
    HWND to = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                             : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
    if (!to) return;
    SetFocus(to);
    if (SendMessageA(to, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageA(to, EM_SETSEL, 0, -1);
    }
}

// The focus comes back where it was when the window is active again, after
// the folder picker or a message box as after switching programs.
void PreviewWindow::OnActivate(bool active) {
    if (!active) {
        HWND focused = GetFocus();
        focusBeforeDeactivation_ = focused && IsChild(window_, focused) ? focused : nullptr;
        return;
    }
    HWND to = focusBeforeDeactivation_;
    if (!to || !IsWindow(to) || !IsWindowEnabled(to)) to = patternEdit_;
    SetFocus(to);
}

// Every keystroke: the rows in view are matched while the list repaints,
// before this returns; the worker matches the rest for counts and sorting.
void PreviewWindow::OnPatternChanged() {
    pattern_ = WindowText(patternEdit_);
    ShowWarnings();
    UpdateUseButton();
    RematchRows();
}

// The plugin reads at most 259 characters of each pattern: so does the
// choice.
void PreviewWindow::RematchRows() {
    choice_ = PatternChoice{};
    choice_.Put(0, pattern_.c_str());
    for (const std::string& fallback : fallbacks_) choice_.Put(choice_.count, fallback.c_str());
    choice_.onlyWhenFits = onlyWhenFits_;
    ++generation_;
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
    if (warnings_.Set(text)) Layout();
}

// A pattern the setting would cut is refused rather than stored cut, and an
// empty one would read back as the default pattern: neither is stored.
bool PreviewWindow::PatternStorable() const {
    return !pattern_.empty() && pattern_.size() <= kMaxMatchInput &&
           !(pattern_ == patternInForce_.CStr());
}

void PreviewWindow::UpdateUseButton() {
    const bool storable = PatternStorable();
    if (!storable && GetFocus() == useButton_) SetFocus(patternEdit_);
    EnableWindow(useButton_, storable);
}

void PreviewWindow::UsePattern() {
    if (!PatternStorable()) return;
    SetAndStoreTagPattern(pattern_.c_str());
    patternInForce_ = CopyOfCurrentTagPattern();
    UpdateUseButton();
}

// Replaces the pattern box's selection, as typing would, and hands the box
// the keyboard again.
void PreviewWindow::InsertToken(int index) {
    const char* spelling = SpellingOfToken(TagToken(int(TagToken::Artist) + index));
    SendMessageA(patternEdit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(spelling));
    SetFocus(patternEdit_);
}

// The picker opens at the folder in the box.
int CALLBACK StartPickerAt(HWND picker, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && folder) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, folder);
    }
    return 0;
}

void PreviewWindow::Browse() {
    const std::string current = WindowText(folderEdit_);
    BROWSEINFOA info{};
    info.hwndOwner = window_;
    info.lpszTitle = "Choose the folder whose files the pattern is to be tried on";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = StartPickerAt;
    info.lParam = IsFolder(current) ? reinterpret_cast<LPARAM>(current.c_str()) : 0;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    SetFocus(browseButton_);
    if (!chosen) return;
    char folder[MAX_PATH] = "";
    const bool named = SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (!named) return;
    SetWindowTextA(folderEdit_, folder);
    StartWalk(folder);
}

// Enter reads the folder again; leaving the box reads it only when it names
// another folder than the one shown.
void PreviewWindow::ReadFolderBox(bool evenIfShown) {
    const std::string folder = WindowText(folderEdit_);
    if (evenIfShown || folder != shownFolder_) StartWalk(folder);
}

void PreviewWindow::StartWalk(const std::string& folder) {
    walk_.reset();
    {
        std::unique_lock<std::shared_mutex> lock(rowsLock_);
        rows_.Clear();
    }
    ++generation_;
    ++folderSerial_;
    values_.Clear();
    order_.clear();
    ListView_SetItemCountEx(list_, 0, 0);
    shownFolder_ = folder;
    folderProblem_.clear();
    walking_ = !folder.empty() && IsFolder(folder);
    if (walking_) {
        StoreLastFolder(folder);
        HWND window = window_;
        walk_ = std::make_unique<FolderWalk>(folder, host_.found, [window] {
            PostMessageA(window, kFilesArrived, 0, 0);
        });
    } else if (!folder.empty()) {
        // Only shown: the notice may cut a long name.
        folderProblem_ = "There is no folder \"" + folder + "\".";
    }
    ShowNotice();
    UpdateStatus();
    UpdateSuggestButton();
}

void PreviewWindow::ShowNotice() {
    std::string text = folderProblem_;
    if (!host_.found) text += (text.empty() ? "" : "\r\n") + host_.why;
    if (notice_.Set(text)) Layout();
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
    // Arranged rows are shown once their values are known.
    if (!Arranged()) {
        ListView_SetItemCountEx(list_, int(rows_.Size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    RequestValues();
    UpdateStatus();
    UpdateSuggestButton();
}

void PreviewWindow::RequestValues() {
    if (worker_ && rows_.Size() > 0) worker_->Request(generation_, choice_, rows_.Size());
}

void PreviewWindow::OnValuesReady() {
    ValueTable table;
    std::uint32_t generation = 0;
    if (!worker_->Take(table, generation) || generation != generation_) return;
    std::swap(values_, table);
    valuesGeneration_ = generation;
    if (Arranged()) Rearrange(SelectedRows());
    InvalidateRect(list_, nullptr, FALSE);
    UpdateStatus();
}

std::size_t PreviewWindow::RowAt(std::size_t index) const {
    if (!Arranged()) return index;
    return index < order_.size() ? order_[index] : std::size_t(-1);
}

PreviewWindow::Selection PreviewWindow::SelectedRows() const {
    Selection selection;
    for (int i = -1; (i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) >= 0;) {
        selection.rows.push_back(RowAt(std::size_t(i)));
    }
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    if (focused >= 0) selection.focused = RowAt(std::size_t(focused));
    return selection;
}

// The selected files stay selected, wherever their rows move.
void PreviewWindow::Rearrange(const Selection& selection) {
    order_.clear();
    if (Arranged()) {
        if (sortColumn_ >= 0) {
            order_ = SortedOrder(rows_, values_, PreviewColumn(sortColumn_), ascending_);
        } else {
            order_.resize(values_.Size());
            std::iota(order_.begin(), order_.end(), 0u);
        }
        FilterOrder(order_, rows_, values_, filter_);
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

const ValueTable& PreviewWindow::ValuesOfRow(std::size_t row, std::size_t& valueRow) {
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

std::wstring PreviewWindow::CellAt(std::size_t index, int column) {
    const std::size_t row = RowAt(index);
    if (row >= rows_.Size() || column < 0 || column >= kColumnCount) return L"";
    const PreviewFile& file = rows_.File(row);
    if (column == kFileColumn && !file.wideRelativePath.empty()) return file.wideRelativePath;
    std::size_t valueRow = 0;
    const ValueTable& values = ValuesOfRow(row, valueRow);
    return WideFromCodePage(CellText(rows_, row, values, valueRow, PreviewColumn(column)));
}

void PreviewWindow::FillCell(NMLVDISPINFOW& info) {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0) return;
    const std::wstring text = CellAt(std::size_t(info.item.iItem), info.item.iSubItem);
    // A shown text: the list's buffer takes what fits.
    lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

// A row that no pattern fits is set apart in colour, whatever its result.
LRESULT PreviewWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const std::size_t row = RowAt(std::size_t(draw.nmcd.dwItemSpec));
    if (row >= rows_.Size()) return CDRF_DODEFAULT;
    std::size_t valueRow = 0;
    const ValueTable& values = ValuesOfRow(row, valueRow);
    if (!IsMisfit(values.Outcome(valueRow), rows_.File(row))) return CDRF_DODEFAULT;
    draw.clrText = kMisfitTextColour;
    draw.clrTextBk = kMisfitBackground;
    return CDRF_NEWFONT;
}

// One tool over the whole list, whose text is asked for each time it shows;
// moving to another cell hides it, so that it shows again for that cell.
void PreviewWindow::CreateCellTip() {
    cellTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               instance_, nullptr);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = list_;
    tool.uId = 1;
    tool.rect = {0, 0, 32767, 32767};
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(cellTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(cellTip_, TTM_SETMAXTIPWIDTH, 0, 600);
    SetWindowSubclass(list_, ListMouse, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK PreviewWindow::ListMouse(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    if (message == WM_MOUSEMOVE) {
        auto* window = reinterpret_cast<PreviewWindow*>(self);
        const POINT cell = window->CellUnderMouse();
        if (cell.x != window->tipCell_.x || cell.y != window->tipCell_.y) {
            window->tipCell_ = cell;
            SendMessageA(window->cellTip_, TTM_POP, 0, 0);
        }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListMouse, 1);
    return DefSubclassProc(list, message, wParam, lParam);
}

// Column and row index of the cell under the mouse; -1 and -1 for none.
POINT PreviewWindow::CellUnderMouse() const {
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(list_, &hit.pt);
    if (SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) {
        return {-1, -1};
    }
    return {hit.iSubItem, hit.iItem};
}

// No text, and so no tip, where the column shows the whole cell.
void PreviewWindow::FillCellTip(NMTTDISPINFOW& info) {
    const POINT cell = CellUnderMouse();
    tipText_.clear();
    if (cell.y >= 0) {
        std::wstring text = CellAt(std::size_t(cell.y), cell.x);
        const int needed = int(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0,
                                            reinterpret_cast<LPARAM>(text.c_str())));
        const int room = int(SendMessageA(list_, LVM_GETCOLUMNWIDTH, WPARAM(cell.x), 0));
        // The list leaves a few pixels of margin on either side of a cell.
        if (needed + 12 > room) tipText_ = std::move(text);
    }
    info.lpszText = const_cast<wchar_t*>(tipText_.c_str());
}

void PreviewWindow::SortBy(int column) {
    const Selection selection = SelectedRows();
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    ShowSortArrow();
    Rearrange(selection);
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
    parts[0] = (walking_ ? "Reading the folder: " : "") + Counted(rows_.Size(), "file", "files");
    const bool counted = !walking_ && valuesGeneration_ == generation_ &&
                         values_.Size() == rows_.Size();
    if (counted && filter_ != ResultFilter::All) {
        parts[0] = std::to_string(order_.size()) + " of " + parts[0] + " shown";
    }
    if (valuesGeneration_ == generation_ || rows_.Size() == 0) {
        const PreviewCounts counts = CountResults(rows_, values_);
        parts[1] = Counted(counts.tagged, "would be tagged");
        parts[2] = Counted(counts.nothingRecognised, "nothing recognised");
        parts[3] = Counted(counts.noDecoder, "no decoder");
        parts[4] = Counted(counts.cannotWrite, "decoder cannot write tags");
        parts[5] = Counted(counts.unusablePath, "unusable path", "unusable paths");
        parts[6] = Counted(counts.doesNotFit, counts.doesNotFit == 1 ? "does not fit" : "do not fit");
    }
    if (!counted) parts[7] = rows_.Size() ? "counting..." : "";
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        SendMessageA(status_, SB_SETTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(parts[i].c_str()));
    }
}

// Only once the folder is read whole, and one ranking at a time.
void PreviewWindow::UpdateSuggestButton() {
    const bool ready = !walking_ && !suggest_ && rows_.Size() > 0;
    if (!ready && GetFocus() == suggestButton_) SetFocus(patternEdit_);
    EnableWindow(suggestButton_, ready);
}

void PreviewWindow::Suggest() {
    if (walking_ || suggest_ || rows_.Size() == 0) return;
    suggestSerial_ = folderSerial_;
    HWND window = window_;
    suggest_ = std::make_unique<SuggestWorker>(rows_, rowsLock_, rows_.Size(), kSuggestionsShown,
                                               [window] {
                                                   PostMessageA(window, kSuggestionsReady, 0, 0);
                                               });
    SetWindowTextA(suggestButton_, "Suggesting...");
    UpdateSuggestButton();
}

void PreviewWindow::OnSuggestionsReady() {
    std::vector<PatternSuggestion> suggestions;
    if (!suggest_ || !suggest_->Take(suggestions)) return;
    suggest_.reset();
    SetWindowTextA(suggestButton_, "Su&ggest...");
    UpdateSuggestButton();
    if (suggestSerial_ != folderSerial_ || suggestions.empty()) return;
    const int chosen = ChooseSuggestion(window_, suggestions);
    if (chosen < 0) return;
    // Sends the box's change, as typing would.
    SetWindowTextA(patternEdit_, suggestions[std::size_t(chosen)].pattern.c_str());
    SetFocus(patternEdit_);
}

void PreviewWindow::OnOnlyWhenFitsClicked() {
    onlyWhenFits_ = SendMessageA(onlyWhenFitsBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!StoreOnlyWhenFits(onlyWhenFits_)) {
        MessageBoxA(window_, "The setting could not be stored.", "PathTagger Preview",
                    MB_OK | MB_ICONERROR);
    }
    RematchRows();
}

int PreviewWindow::SelectedFallback() const {
    return int(SendMessageA(fallbackList_, LB_GETCURSEL, 0, 0));
}

void PreviewWindow::ShowFallbacks(int selected) {
    SendMessageA(fallbackList_, LB_RESETCONTENT, 0, 0);
    for (const std::string& fallback : fallbacks_) {
        SendMessageA(fallbackList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fallback.c_str()));
    }
    SendMessageA(fallbackList_, LB_SETCURSEL, WPARAM(selected), 0);
    UpdateFallbackButtons();
}

// A fallback is refused where the plugin would read it as the end of the
// list: empty, or too long to read whole.
void PreviewWindow::UpdateFallbackButtons() {
    const int selected = SelectedFallback();
    const int count = int(fallbacks_.size());
    const std::size_t length = std::size_t(GetWindowTextLengthA(fallbackEdit_));
    const bool states[] = {selected > 0, selected >= 0 && selected + 1 < count, selected >= 0,
                           length > 0 && length <= kMaxMatchInput && count < kMaxFallbackPatterns};
    const HWND buttons[] = {upButton_, downButton_, removeButton_, addFallbackButton_};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        if (!states[i] && GetFocus() == buttons[i]) SetFocus(fallbackList_);
        EnableWindow(buttons[i], states[i]);
    }
}

void PreviewWindow::StoreFallbacks(int selected) {
    if (!StoreFallbackPatterns(fallbacks_)) {
        MessageBoxA(window_, "The fallback patterns could not be stored.", "PathTagger Preview",
                    MB_OK | MB_ICONERROR);
    }
    ShowFallbacks(selected);
    RematchRows();
}

void PreviewWindow::AddFallback() {
    const std::string fallback = WindowText(fallbackEdit_);
    if (fallback.empty() || fallback.size() > kMaxMatchInput ||
        fallbacks_.size() >= std::size_t(kMaxFallbackPatterns)) {
        return;
    }
    fallbacks_.push_back(fallback);
    SetWindowTextA(fallbackEdit_, "");
    StoreFallbacks(int(fallbacks_.size()) - 1);
}

void PreviewWindow::MoveFallback(int by) {
    const int from = SelectedFallback();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= int(fallbacks_.size())) return;
    std::swap(fallbacks_[std::size_t(from)], fallbacks_[std::size_t(to)]);
    StoreFallbacks(to);
}

// The later ones move up: the stored list has no gaps.
void PreviewWindow::RemoveFallback() {
    const int selected = SelectedFallback();
    if (selected < 0 || selected >= int(fallbacks_.size())) return;
    fallbacks_.erase(fallbacks_.begin() + selected);
    StoreFallbacks(std::min(selected, int(fallbacks_.size()) - 1));
}

// True when the window may close: the user was asked about an edited
// pattern that was never stored, and did not cancel.
bool PreviewWindow::ConfirmUnstoredPattern() {
    if (!PatternStorable()) return true;
    const std::string question =
        "The pattern in the box has not been stored:\r\n\r\n" + pattern_ +
        "\r\n\r\nStore it before closing? The plugin tags with the stored pattern.";
    switch (MessageBoxA(window_, question.c_str(), "PathTagger Preview",
                        MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: UsePattern(); return true;
        case IDNO: return true;
        default: return false;
    }
}

void PreviewWindow::Close() {
    if (!ConfirmUnstoredPattern()) return;
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
    HostDecoders host = FindHostDecoders();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    PreviewWindow window(instance, options, std::move(host));
    return window.Run();
}
