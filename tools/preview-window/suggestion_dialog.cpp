#include "tools/preview-window/suggestion_dialog.h"


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

struct Choice {
    const std::vector<PatternSuggestion>* suggestions;
    int chosen = -1;
};

INT_PTR CALLBACK ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            choice = reinterpret_cast<Choice*>(lParam);
            HWND list = GetDlgItem(dialog, kSuggestionListId);
            for (const PatternSuggestion& s : *choice->suggestions) {
                SendMessageA(list, LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(SuggestionLine(s).c_str()));
            }
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            SetFocus(list);
            return FALSE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const bool picked = id == IDOK || (id == kSuggestionListId && HIWORD(wParam) == LBN_DBLCLK);
            if (picked) {
                choice->chosen = int(SendDlgItemMessageA(dialog, kSuggestionListId, LB_GETCURSEL, 0, 0));
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

int ChooseSuggestion(HWND owner, const std::vector<PatternSuggestion>& suggestions) {
    DialogTemplate chooser(L"Suggested patterns", 300, 170, 4);
    chooser.Item(kStatic, L"The layouts that read the most values from the folder's files; "
                          L"the one chosen goes into the pattern box.",
                 SS_LEFT | SS_NOPREFIX, 7, 7, 286, 18, 0xFFFF);
    chooser.Item(kListBox, L"",
                 WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 28,
                 286, 115, kSuggestionListId);
    chooser.Item(kButton, L"Use pattern", WS_TABSTOP | BS_DEFPUSHBUTTON, 186, 149, 50, 14, IDOK);
    chooser.Item(kButton, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 243, 149, 50, 14, IDCANCEL);
    Choice choice{&suggestions};
    const INT_PTR answer = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), chooser.Get(), owner,
                                                   ChooserProcedure, reinterpret_cast<LPARAM>(&choice));
    if (answer != IDOK || choice.chosen < 0 || choice.chosen >= int(suggestions.size())) return -1;
    return choice.chosen;
}
