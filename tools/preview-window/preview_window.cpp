#include "tools/preview-window/preview_window.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "plugin/tag_pattern_setting.h"
#include "tagging/tag_pattern_matcher.h"
#include "tools/preview-window/fallback_box.h"
#include "tools/preview-window/file_list.h"
#include "tools/preview-window/folder_box.h"
#include "tools/preview-window/pattern_box.h"
#include "tools/preview-window/status_bar.h"
#include "tools/preview-window/stored_set.h"
#include "tools/preview-window/suggest_button.h"
#include "tools/preview-window/window_settings.h"
#include "ui/plain_window.h"

namespace {

constexpr int kFilterWidth = 150;

// The frame: it makes the parts, places them, and passes on what one part's
// change means for the others.
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
    void CreateParts();
    void Layout();
    void OnCommand(int id, int code);
    void MoveFocus(WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);

    void OnPatternChanged();
    void OnSetChanged();
    void Rematch();
    PatternSet EditedSet() const;
    void ShowSet(const PatternSet& set);
    bool SetStorable() const;
    void UseSet();
    void MakeMain();
    void ReadFolder();
    void OnFilesArrived();
    void UpdateStatus();
    void UpdateSuggest();
    void OnSuggestionsReady();
    void Close();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    HWND focusBeforeDeactivation_ = nullptr;
    HWND editing_ = nullptr;  // the box the token buttons insert into
    PatternBox patternBox_;
    SuggestButton suggest_;
    FallbackBox fallbackBox_;
    FolderBox folderBox_;
    FileList fileList_;
    StatusBar status_;
    StoredSet stored_;
    std::unique_ptr<PlainWindow> plain_;
};

PreviewWindow::PreviewWindow(HINSTANCE instance, const PreviewOptions& options,
                             HostDecoders host)
    : instance_(instance), folderBox_(std::move(host)) {
    stored_.Read();

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

    fallbackBox_.Set(stored_.Get().fallbacks, stored_.Get().onlyWhenFits);
    int widths[kColumnCount] = {};
    ReadColumnWidths(widths, kColumnCount);
    fileList_.Columns().SetUserWidths(widths);
    editing_ = patternBox_.Edit();
    patternBox_.SetPattern(options.patternGiven ? options.pattern : stored_.Get().pattern);
    // Setting a text equal to the box's own sends no change.
    OnPatternChanged();
    const std::string folder = options.folder.empty() ? ReadLastFolder() : options.folder;
    SetWindowTextA(folderBox_.Edit(), folder.c_str());
    plain_->Show();
    ReadFolder();
    SetFocus(patternBox_.Edit());
}

PreviewWindow::~PreviewWindow() {
    plain_.reset();
    DeleteObject(font_);
}

int PreviewWindow::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1) {
        // F5 reads the folder again, wherever the focus is.
        if (message.message == WM_KEYDOWN && message.wParam == VK_F5) {
            if (folderBox_.ReadBox(true)) ReadFolder();
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
            CreateParts();
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
        case WM_NOTIFY: {
            LRESULT result = 0;
            fileList_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
            return result;
        }
        case kFilesArrived:
            OnFilesArrived();
            return 0;
        case kValuesReady:
            fileList_.OnValuesReady();
            UpdateStatus();
            return 0;
        case WM_TIMER:
            if (wParam == kValuesDueTimer) fileList_.OnValuesDue();
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

// Made in tab order: the pattern and its buttons, the fallbacks and
// theirs, the check box, the folder, its button, the filter, the list.
void PreviewWindow::CreateParts() {
    const ControlMaker maker{window_, instance_, font_};
    patternBox_.Create(maker);
    suggest_.Create(maker);
    patternBox_.CreateTokens(maker);
    fallbackBox_.Create(maker);
    folderBox_.Create(maker);
    fileList_.Create(maker);
    status_.Create(maker);
}

void PreviewWindow::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right;
    const int statusHeight = status_.Resize();
    const int boxX = 2 * kMargin + kLabelWidth;
    const int buttonX = width - kMargin - kButtonWidth;
    {
        Placer placer(40);
        int y = kMargin;
        suggest_.Place(placer, buttonX, y);
        y += patternBox_.Place(placer, y, boxX, width - boxX - 3 * kMargin - 2 * kButtonWidth, width);
        y += fallbackBox_.Place(placer, y, boxX, width);
        const int folderWidth =
            width - boxX - 4 * kMargin - kButtonWidth - kLabelWidth - kFilterWidth;
        folderBox_.Place(placer, y, boxX, folderWidth);
        fileList_.PlaceFilter(placer, boxX + folderWidth + 2 * kMargin + kButtonWidth, y,
                              kLabelWidth, kFilterWidth);
        y += kRowHeight + kMargin;
        y += folderBox_.PlaceNotice(placer, y, boxX, width);
        fileList_.PlaceList(placer, kMargin, y, width - 2 * kMargin,
                            std::max(0, int(client.bottom) - statusHeight - kMargin - y));
    }
    fileList_.Columns().Fit();
    // Once every control is in its place, all is painted once: a control
    // that moved leaves nothing of itself behind where it was.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PreviewWindow::OnCommand(int id, int code) {
    if (id == kPatternEditId && code == EN_CHANGE) OnPatternChanged();
    if (id == kUsePatternButtonId && code == BN_CLICKED) UseSet();
    if (id == kMakeMainButtonId && code == BN_CLICKED) MakeMain();
    if ((id == kPatternEditId || id == kFallbackEditId) && code == EN_SETFOCUS) {
        editing_ = GetDlgItem(window_, id);
    }
    if (suggest_.Clicked(id, code)) {
        suggest_.Start(fileList_.Rows(), fileList_.RowsLock(), folderBox_.Serial());
        UpdateSuggest();
    }
    if (fallbackBox_.OnCommand(id, code)) OnSetChanged();
    if (fallbackBox_.WarningsChanged()) Layout();
    const int token = patternBox_.TokenOf(id, code);
    if (token >= 0) InsertToken(editing_, token);
    if (folderBox_.OnCommand(id, code)) ReadFolder();
    if (fileList_.OnCommand(id, code)) UpdateStatus();
    // Enter never closes the window; in the folder box it reads that folder,
    // in the fallback box it adds the fallback.
    if (id == IDOK && GetFocus() == folderBox_.Edit()) ReadFolder();
    if (id == IDOK && GetFocus() == fallbackBox_.Edit() && fallbackBox_.OnEnter()) OnSetChanged();
    // Escape in the fallback box never closes the window over what was
    // typed there.
    const bool typing = GetFocus() == fallbackBox_.Edit() && !fallbackBox_.Typed().empty();
    if (id == IDCANCEL && !typing) Close();
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
    if (!to || !IsWindow(to) || !IsWindowEnabled(to)) to = patternBox_.Edit();
    SetFocus(to);
}

void PreviewWindow::OnPatternChanged() {
    if (patternBox_.OnChanged()) Layout();
    OnSetChanged();
}

void PreviewWindow::OnSetChanged() {
    patternBox_.EnableUse(SetStorable());
    Rematch();
}

// The box's pattern, the fallbacks and the check box, as the plugin would
// choose among them. It reads at most 259 characters of each pattern: so
// does the choice.
void PreviewWindow::Rematch() {
    PatternChoice choice;
    choice.Put(0, patternBox_.Pattern().c_str());
    for (const std::string& fallback : fallbackBox_.Fallbacks()) {
        choice.Put(choice.count, fallback.c_str());
    }
    choice.onlyWhenFits = fallbackBox_.OnlyWhenFits();
    fileList_.Rematch(choice);
    UpdateStatus();
}

PatternSet PreviewWindow::EditedSet() const {
    return {patternBox_.Pattern(), fallbackBox_.Fallbacks(), fallbackBox_.OnlyWhenFits()};
}

bool PreviewWindow::SetStorable() const { return stored_.Storable(EditedSet()); }

void PreviewWindow::UseSet() {
    stored_.Store(window_, EditedSet());
    patternBox_.EnableUse(SetStorable());
}

// The chosen fallback and the pattern swap places.
void PreviewWindow::MakeMain() {
    std::string pattern = patternBox_.Pattern();
    if (!fallbackBox_.SwapChosen(pattern)) return;
    patternBox_.SetPattern(pattern);
    OnPatternChanged();
}

void PreviewWindow::ReadFolder() {
    fileList_.Clear();
    folderBox_.StartWalk();
    if (folderBox_.ShowNotice()) Layout();
    UpdateStatus();
    UpdateSuggest();
}

void PreviewWindow::OnFilesArrived() {
    std::vector<PreviewFile> files;
    folderBox_.TakeFiles(files);
    fileList_.AddFiles(files);
    UpdateStatus();
    UpdateSuggest();
}

void PreviewWindow::UpdateStatus() { status_.Show(fileList_.Figures(), folderBox_.Walking()); }

void PreviewWindow::UpdateSuggest() {
    suggest_.Update(!folderBox_.Walking(), fileList_.Rows().Size(), patternBox_.Edit());
}

// A highlighted suggestion is shown as it would be used; Cancel puts back
// what was there.
void PreviewWindow::OnSuggestionsReady() {
    const PatternSet before = EditedSet();
    SuggestedPatterns chosen;
    const bool used = suggest_.OnReady(
        folderBox_.Serial(),
        [&](const SuggestedPatterns& s) { ShowSet(SetWithSuggestion(before, s)); }, chosen);
    UpdateSuggest();
    ShowSet(used ? SetWithSuggestion(before, chosen) : before);
    SetFocus(patternBox_.Edit());
}

void PreviewWindow::ShowSet(const PatternSet& set) {
    if (set == EditedSet()) return;
    fallbackBox_.Set(set.fallbacks, set.onlyWhenFits);
    patternBox_.SetPattern(set.pattern);
    OnPatternChanged();
}

void PreviewWindow::Close() {
    switch (stored_.AskBeforeClosing(window_, EditedSet(), fallbackBox_.Typed())) {
        case StoredSet::Closing::Store: UseSet(); break;
        case StoredSet::Closing::Drop: break;
        case StoredSet::Closing::Stay: return;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        StoreWindowSize({int(r.right - r.left), int(r.bottom - r.top)});
    }
    StoreColumnWidths(fileList_.Columns().UserWidths(), kColumnCount);
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
