#include "tools/preview-window/suggestion_dialog.h"

#include <algorithm>

namespace {

// A dialog template made in memory: the program has no resource script.
class DialogTemplate {
public:
    DialogTemplate(const wchar_t* title, short width, short height, WORD items) {
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
        Dword(0);
        words_.push_back(items);
        for (short n : {short(0), short(0), width, height}) words_.push_back(WORD(n));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the dialog class
        Text(title);
        words_.push_back(8);
        Text(L"MS Shell Dlg");
    }
    void Item(WORD atom, const wchar_t* text, DWORD style, short x, short y, short cx,
              short cy, WORD id) {
        if (words_.size() % 2) words_.push_back(0);  // each item starts on a DWORD
        Dword(WS_CHILD | WS_VISIBLE | style);
        Dword(0);
        for (short n : {x, y, cx, cy}) words_.push_back(WORD(n));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        Text(text);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        for (; *text; ++text) words_.push_back(WORD(*text));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080, kStatic = 0x0082, kListBox = 0x0083;

// The list's lines, each standing for one entry: the set's heading and its
// patterns stand for the set.
struct Chooser {
    std::vector<std::string> lines;
    std::vector<std::size_t> entryOfLine;
    std::vector<SuggestedPatterns> entries;
    const std::function<void(const SuggestedPatterns&)>* preview = nullptr;
    int chosen = -1;
};

Chooser MakeChooser(const std::vector<PatternSuggestion>& set,
                    const std::vector<PatternSuggestion>& singles) {
    Chooser chooser;
    auto add = [&](std::string line) {
        chooser.lines.push_back(std::move(line));
        chooser.entryOfLine.push_back(chooser.entries.size() - 1);
    };
    if (!set.empty()) {
        chooser.entries.push_back({{}, true});
        std::size_t read = 0;
        for (const PatternSuggestion& s : set) read += s.used;
        add("The suggested set: a pattern of it fits " + std::to_string(read) + " of " +
            std::to_string(set.front().files) + " files; tried in this order:");
        for (std::size_t i = 0; i < set.size(); ++i) {
            chooser.entries.back().patterns.push_back(set[i].pattern);
            add("    " + std::to_string(i + 1) + ".  first to fit " + std::to_string(set[i].used) +
                " files:  " + set[i].pattern);
        }
    }
    for (const PatternSuggestion& s : singles) {
        chooser.entries.push_back({{s.pattern}, false});
        add(SuggestionLine(s));
    }
    return chooser;
}

// The dialog grows to show the longest line whole, as far as the screen
// allows; the list scrolls for the rest.
void WidenForLines(HWND dialog, const Chooser& chooser) {
    HWND list = GetDlgItem(dialog, kSuggestionListId);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& line : chooser.lines) {
        SIZE size{};
        GetTextExtentPoint32A(dc, line.c_str(), int(line.size()), &size);
        widest = std::max(widest, int(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    widest += 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 8;
    SendMessageA(list, LB_SETHORIZONTALEXTENT, WPARAM(widest), 0);
    RECT listRect, dialogRect, work;
    GetClientRect(list, &listRect);
    GetWindowRect(dialog, &dialogRect);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int room = int(work.right - work.left) - int(dialogRect.right - dialogRect.left);
    const int extra = std::min(std::max(0, widest - int(listRect.right)), std::max(0, room));
    if (extra == 0) return;
    SetWindowPos(dialog, nullptr, 0, 0, dialogRect.right - dialogRect.left + extra,
                 dialogRect.bottom - dialogRect.top, SWP_NOMOVE | SWP_NOZORDER);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const bool button = GetDlgCtrlID(child) == IDOK || GetDlgCtrlID(child) == IDCANCEL;
        SetWindowPos(child, nullptr, rect.left + (button ? extra : 0), rect.top,
                     rect.right - rect.left + (button ? 0 : extra), rect.bottom - rect.top,
                     SWP_NOZORDER);
    }
    // Centred again over the owner, as at its start.
    GetWindowRect(dialog, &dialogRect);
    SetWindowPos(dialog, nullptr, std::max(int(work.left), int(dialogRect.left) - extra / 2),
                 dialogRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The highlighted entry is previewed; the button says what it will use.
void OnHighlight(HWND dialog, Chooser& chooser) {
    const int line = int(SendDlgItemMessageA(dialog, kSuggestionListId, LB_GETCURSEL, 0, 0));
    if (line < 0 || std::size_t(line) >= chooser.lines.size()) return;
    const SuggestedPatterns& entry = chooser.entries[chooser.entryOfLine[std::size_t(line)]];
    SetDlgItemTextA(dialog, IDOK, entry.isSet ? "Use this set" : "Use this pattern");
    (*chooser.preview)(entry);
}

INT_PTR CALLBACK ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* chooser = reinterpret_cast<Chooser*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            chooser = reinterpret_cast<Chooser*>(lParam);
            HWND list = GetDlgItem(dialog, kSuggestionListId);
            for (const std::string& line : chooser->lines) {
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            }
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            WidenForLines(dialog, *chooser);
            OnHighlight(dialog, *chooser);
            SetFocus(list);
            return FALSE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == kSuggestionListId && HIWORD(wParam) == LBN_SELCHANGE) OnHighlight(dialog, *chooser);
            const bool picked = id == IDOK || (id == kSuggestionListId && HIWORD(wParam) == LBN_DBLCLK);
            if (picked) {
                const int line = int(SendDlgItemMessageA(dialog, kSuggestionListId, LB_GETCURSEL, 0, 0));
                if (line >= 0 && std::size_t(line) < chooser->lines.size()) {
                    chooser->chosen = int(chooser->entryOfLine[std::size_t(line)]);
                }
                EndDialog(dialog, IDOK);
            }
            if (id == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

std::string SuggestionLine(const PatternSuggestion& s) {
    return std::to_string(s.fits) + " of " + std::to_string(s.files) + " files fit, " +
           std::to_string(s.values) + " values:  " + s.pattern;
}

bool ChooseSuggestion(HWND owner, const std::vector<PatternSuggestion>& set,
                      const std::vector<PatternSuggestion>& singles,
                      const std::function<void(const SuggestedPatterns&)>& preview,
                      SuggestedPatterns& chosen) {
    DialogTemplate dialog(L"Suggested patterns", 340, 200, 4);
    dialog.Item(kStatic, L"A set of patterns that reads the folder's files, then each layout "
                         L"alone. The one highlighted is shown in the list; Cancel puts back "
                         L"what was there.",
                SS_LEFT | SS_NOPREFIX, 7, 7, 326, 18, 0xFFFF);
    dialog.Item(kListBox, L"",
                WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                    LBS_NOINTEGRALHEIGHT,
                7, 28, 326, 145, kSuggestionListId);
    dialog.Item(kButton, L"Use this set", WS_TABSTOP | BS_DEFPUSHBUTTON, 206, 179, 70, 14, IDOK);
    dialog.Item(kButton, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 283, 179, 50, 14, IDCANCEL);
    Chooser chooser = MakeChooser(set, singles);
    if (chooser.entries.empty()) {
        MessageBoxA(owner,
                    "Nothing to suggest: no pattern fits any of the files below the folder that"
                    " the plugin would tag (those whose extension a decoder of the host reads).",
                    "Suggested patterns", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    chooser.preview = &preview;
    const INT_PTR answer = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(), owner,
                                                   ChooserProcedure,
                                                   reinterpret_cast<LPARAM>(&chooser));
    if (answer != IDOK || chooser.chosen < 0) return false;
    chosen = chooser.entries[std::size_t(chooser.chosen)];
    return true;
}
