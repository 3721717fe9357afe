// Drives a running PathTaggerPreview.exe as a user would, from another
// process, and prints what the window shows, for preview_window_test.py.
//
//   window_driver.exe [--installed-to DIR] [--stored-pattern P] STEP...
//
// Steps, run in order (each step's words end at the next step's name):
//   launch EXE [ARGS...]  start the window and wait for it
//   wait                  until the folder is read and every file counted
//   responsive            while the folder is read: how long the window
//                         takes to answer, and how many files it had
//   type TEXT             empty the pattern box, then type TEXT key by key
//   cells [N]             "cell<TAB>" and the row's cells in UTF-8, one line
//                         per row (the first N rows only, when given)
//   status                "status<TAB>" and the status bar's parts
//   statusparts           "statusparts<TAB>bar's width<TAB>" and each part's
//                         width
//   warnings              "warnings<TAB>" and the lines under the pattern box,
//                         split by tabs
//   use                   "use<TAB>enabled before<TAB>stored value<TAB>enabled after"
//   sort N                click column N's heading, and once the window has
//                         counted, "sort<TAB>N<TAB>up|down|none" as its
//                         heading shows it
//   key NAME              Tab, Enter, Escape, F5 or Alt+LETTER to the focused
//                         control, or Alt+F4 to the window; done once the
//                         window has handled it
//   settext ID TEXT       put TEXT into control ID, as pasting would
//   dialog BUTTON         wait for a message box over the window,
//                         "dialog<TAB>its text", and press Yes, No or Cancel
//   select N              select row N alone
//   selected              "selected<TAB>" and the File cell of each selected row
//   layout                "layout<TAB>warnings height<TAB>notice height
//                         <TAB>list's client width<TAB>column widths..."
//   text ID               "text<TAB>" and control ID's lines, split by tabs
//   click ID              click button ID
//   choose ID N           choose item N of combo box ID
//   focus                 "focus<TAB>" and the id of the focused control
//   resize W H            size the window
//   info                  "info<TAB>folder box<TAB>width<TAB>height"
//   exited                "exited<TAB>1" once the program has ended (30 s)
//   alive                 "alive<TAB>1" while the program runs
//   makefile PATH         make an empty file, as another program would
//   tip ROW COLUMN        put the mouse on a cell and, once a tip shows,
//                         "tip<TAB>its text"
//   usage EXE [ARGS...]   start a program that answers with a message box:
//                         "usage<TAB>its lines...<TAB>exit code" once OK
//                         has closed it
//   browse                click Browse, and "browse<TAB>1<TAB>selected folder"
//                         when a folder picker owned by the window opened;
//                         it is cancelled
//   suggest [LINE [cancel]]  click Suggest, and once the window shows its
//                         suggestions, "suggested<TAB>ms from the click" and
//                         "suggestion<TAB>line" for each; with LINE, that line
//                         is highlighted and "previewed<TAB>pattern box" said;
//                         then the highlighted one is used, or with "cancel"
//                         none
//   items ID              "items<TAB>" and list box ID's lines
//   checked ID            "checked<TAB>1|0" for check box ID
//   settings              "settings<TAB>only-when-fits value or none<TAB>" and
//                         the stored fallback patterns ".2" on, as stored
//   background ROW        "background<TAB>ROW<TAB>RRGGBB": the colour most of
//                         the row is painted in on the screen
//   keystrokes N          N keystrokes at the pattern's end, "x" and
//                         Backspace in turn, each timed from the key to the
//                         list's answer for its first row, to the list
//                         painted and to the counts: "keystroke<TAB>ms to
//                         list<TAB>ms to counts<TAB>ms to painted" each
//   dragcolumn N DX       drag the right edge of column N's heading by DX
//                         pixels, as the mouse would
//
// The window starts from nothing remembered: every value the window or an
// earlier run left beside the pattern (its size, last folder and column
// widths, the fallback patterns, only-when-fits) is taken away at the
// driver's start, and the values as they were are put back at its end.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools/preview-window/preview_window.h"

namespace {

constexpr char kSubkey[] = "Software\\Brackenford\\Sonavell";
constexpr char kPatternValue[] = "KestraTagFromFilename";
// What the window and the plugin remember between runs beside the pattern:
// every value whose name begins so (size, last folder, column widths, the
// fallbacks, only-when-fits), whatever an earlier run left.
constexpr const char* kRememberedPrefixes[] = {"PathTaggerPreview.", "KestraTagFromFilename."};

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "window_driver: %s\n", why.c_str());
    std::exit(1);
}

// Memory inside the window's process, for messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {
        if (!address_) Fail("no memory in the window's process");
    }
    ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* At(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }
    std::string ReadText(std::size_t offset, std::size_t capacity) const {
        std::string text(capacity, '\0');
        Read(offset, text.data(), capacity);
        text.resize(std::strlen(text.c_str()));
        return text;
    }

private:
    HANDLE process_;
    void* address_;
};

struct Target {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND Control(int id) const { return GetDlgItem(window, id); }
};

Target target;

std::string Text(HWND window) {
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// A text of several lines as one output line, its lines split by tabs.
std::string OneLine(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\t");
    return text;
}

BOOL CALLBACK FindTargetWindow(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == target.process.dwProcessId && std::strcmp(className, kPreviewWindowClass) == 0) {
        target.window = window;
        return FALSE;
    }
    return TRUE;
}

std::string Quoted(const std::string& argument) { return "\"" + argument + "\""; }

void Settle();

// Starts the program under test as the new target.
void StartTarget(const std::vector<std::string>& words) {
    std::string commandLine;
    for (const std::string& word : words) commandLine += (commandLine.empty() ? "" : " ") + Quoted(word);
    target = Target{};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &target.process)) {
        Fail("cannot start " + commandLine);
    }
}

void Launch(const std::vector<std::string>& words) {
    StartTarget(words);
    for (int i = 0; i < 2400 && !target.window; ++i) {
        EnumWindows(FindTargetWindow, 0);
        if (!target.window) Sleep(50);
    }
    if (!target.window) Fail("no window appeared");
    // The window exists before its controls do, and its controls before
    // their first texts: its message loop handles the first posted message
    // only once all of it is made.
    for (int i = 0; i < 2400 && !target.Control(kFileListId); ++i) Sleep(50);
    if (!target.Control(kFileListId)) Fail("the window's list never appeared");
    Settle();
}

std::string StatusPart(const RemoteBuffer& buffer, int part) {
    SendMessageA(target.Control(kStatusBarId), SB_GETTEXTA, WPARAM(part),
                 reinterpret_cast<LPARAM>(buffer.At(0)));
    return buffer.ReadText(0, 1024);
}

// The status bar's last part says "counting..." while values are matched.
constexpr int kCountingPart = 7;

// Until the window says how many files it has, it has not begun.
bool StillReading(const RemoteBuffer& buffer) {
    const std::string files = StatusPart(buffer, 0);
    return files.empty() || files.rfind("Reading", 0) == 0 ||
           !StatusPart(buffer, kCountingPart).empty();
}

void Wait() {
    RemoteBuffer buffer(target.process.hProcess, 1024);
    for (int i = 0; i < 6000 && StillReading(buffer); ++i) Sleep(50);
    if (StillReading(buffer)) Fail("the folder was never read and counted");
}

// Polls the window with a message that needs an answer until the folder is
// read: the longest wait for an answer, the polls made, and the file counts
// seen while it was reading.
void Responsive() {
    RemoteBuffer buffer(target.process.hProcess, 1024);
    double longestMs = 0;
    int polls = 0;
    int pollsWhileReading = 0;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (;;) {
        DWORD_PTR result = 0;
        QueryPerformanceCounter(&start);
        if (!SendMessageTimeoutA(target.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) {
            Fail("the window did not answer within 5 s");
        }
        QueryPerformanceCounter(&end);
        longestMs = std::max(longestMs, (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
        ++polls;
        const std::string files = StatusPart(buffer, 0);
        if (files.rfind("Reading", 0) != 0) break;
        ++pollsWhileReading;
        std::printf("reading\t%s\n", files.c_str());
        Sleep(20);
    }
    std::printf("responsive\t%.1f\t%d\t%d\n", longestMs, polls, pollsWhileReading);
}

void Type(const std::string& text) {
    HWND edit = target.Control(kPatternEditId);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CLEAR, 0, 0);
    for (unsigned char c : text) SendMessageA(edit, WM_CHAR, c, 0);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return "";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

// Read as wide text, so that names outside the code page show as named.
std::string CellText(const RemoteBuffer& buffer, int row, int column) {
    constexpr std::size_t kTextAt = 256, kCapacity = 1024;
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(buffer.At(kTextAt));
    item.cchTextMax = int(kCapacity);
    buffer.Write(0, &item, sizeof item);
    SendMessageW(target.Control(kFileListId), LVM_GETITEMTEXTW, WPARAM(row),
                 reinterpret_cast<LPARAM>(buffer.At(0)));
    std::wstring text(kCapacity, L'\0');
    buffer.Read(kTextAt, text.data(), kCapacity * sizeof(wchar_t));
    text.resize(wcslen(text.c_str()));
    return Utf8(text);
}

constexpr std::size_t kCellBufferSize = 256 + 1024 * sizeof(wchar_t);

void Cells(int limit) {
    HWND list = target.Control(kFileListId);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    int rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (limit > 0 && limit < rows) rows = limit;
    RemoteBuffer buffer(target.process.hProcess, kCellBufferSize);
    for (int row = 0; row < rows; ++row) {
        std::string line = "cell";
        for (int column = 0; column < columns; ++column) line += "\t" + CellText(buffer, row, column);
        std::printf("%s\n", line.c_str());
    }
}

// "statusparts<TAB>bar's client width<TAB>" and each part's width.
void StatusParts() {
    HWND bar = target.Control(kStatusBarId);
    RemoteBuffer buffer(target.process.hProcess, 64 * sizeof(int));
    const int parts = int(SendMessageA(bar, SB_GETPARTS, 64, reinterpret_cast<LPARAM>(buffer.At(0))));
    std::vector<int> ends(std::size_t(std::max(parts, 0)));
    buffer.Read(0, ends.data(), ends.size() * sizeof(int));
    RECT client;
    GetClientRect(bar, &client);
    std::string line = "statusparts\t" + std::to_string(client.right);
    for (int i = 0, left = 0; i < parts; ++i) {
        const int right = ends[std::size_t(i)] < 0 ? int(client.right) : ends[std::size_t(i)];
        line += "\t" + std::to_string(right - left);
        left = right;
    }
    std::printf("%s\n", line.c_str());
}

void Status() {
    RemoteBuffer buffer(target.process.hProcess, 1024);
    const int parts = int(SendMessageA(target.Control(kStatusBarId), SB_GETPARTS, 0, 0));
    std::string line = "status";
    for (int part = 0; part < parts; ++part) line += "\t" + StatusPart(buffer, part);
    std::printf("%s\n", line.c_str());
}

std::string StoredPattern() {
    char value[1024] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kSubkey, kPatternValue, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return "<none>";
    }
    return value;
}

void Use() {
    HWND button = target.Control(kUsePatternButtonId);
    const bool before = IsWindowEnabled(button);
    SendMessageA(button, BM_CLICK, 0, 0);
    std::printf("use\t%d\t%s\t%d\n", int(before), StoredPattern().c_str(),
                int(IsWindowEnabled(button) != FALSE));
}

HWND FocusedControl() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(target.process.dwThreadId, &info);
    return info.hwndFocus;
}

bool Exited() { return WaitForSingleObject(target.process.hProcess, 0) == WAIT_OBJECT_0; }

// A posted message has no answer to wait for. The window handles posted
// messages in the order they came, so a mark posted after them, once the
// window has set it, says they were handled; so does the window's end. The
// list's hover time serves, as the list has no use for it (it does not
// select on hovering) and nothing else sets it; the old time is put back.
void Settle() {
    static int marks = 0;
    const LPARAM mark = 0x5E7700 + ++marks;
    HWND list = target.Control(kFileListId);
    const LRESULT old = SendMessageA(list, LVM_GETHOVERTIME, 0, 0);
    PostMessageA(list, LVM_SETHOVERTIME, 0, mark);
    for (int i = 0; i < 1200 && !Exited(); ++i) {
        if (SendMessageA(list, LVM_GETHOVERTIME, 0, 0) == mark) {
            SendMessageA(list, LVM_SETHOVERTIME, 0, old);
            return;
        }
        Sleep(25);
    }
    if (!Exited()) Fail("the window never handled the keys posted to it");
}

// Posted, as the keyboard would: the window's own message loop handles them.
void Key(const std::string& name) {
    if (name == "Alt+F4") {
        PostMessageA(target.window, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
        Settle();
        return;
    }
    HWND focused = FocusedControl();
    HWND to = focused ? focused : target.window;
    if (name.rfind("Alt+", 0) == 0 && name.size() == 5) {
        // The character a letter key gives with Alt held down.
        const char letter = char(std::tolower(static_cast<unsigned char>(name[4])));
        PostMessageA(to, WM_SYSCHAR, WPARAM(static_cast<unsigned char>(letter)), 1 | (1 << 29));
        Settle();
        return;
    }
    const WPARAM key = name == "Tab"     ? VK_TAB
                       : name == "Enter" ? VK_RETURN
                       : name == "F5"    ? VK_F5
                                         : VK_ESCAPE;
    PostMessageA(to, WM_KEYDOWN, key, 1);
    PostMessageA(to, WM_KEYUP, key, 1 | (3u << 30));
    Settle();
}

const char* SortArrow(HWND header, int column) {
    RemoteBuffer buffer(target.process.hProcess, sizeof(HDITEMA));
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(header, HDM_GETITEMA, WPARAM(column), reinterpret_cast<LPARAM>(buffer.At(0)));
    buffer.Read(0, &item, sizeof item);
    return (item.fmt & HDF_SORTUP) ? "up" : (item.fmt & HDF_SORTDOWN) ? "down" : "none";
}

HWND ListHeader() {
    return reinterpret_cast<HWND>(SendMessageA(target.Control(kFileListId), LVM_GETHEADER, 0, 0));
}

// A heading's rectangle, read out of the window's process.
RECT HeadingRect(HWND header, int column) {
    RemoteBuffer buffer(target.process.hProcess, sizeof(RECT));
    SendMessageA(header, HDM_GETITEMRECT, WPARAM(column), reinterpret_cast<LPARAM>(buffer.At(0)));
    RECT rect;
    buffer.Read(0, &rect, sizeof rect);
    return rect;
}

// The click is sent, so the window has sorted what it had when it returns;
// rows still being counted are sorted when their values arrive.
void Sort(int column) {
    HWND header = ListHeader();
    const RECT rect = HeadingRect(header, column);
    RECT client;
    GetClientRect(header, &client);
    const POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!PtInRect(&client, at)) Fail("column " + std::to_string(column) + "'s heading is out of view");
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Wait();
    std::printf("sort\t%d\t%s\n", column, SortArrow(header, column));
}

// Sent, as the mouse would press, move and let go: the heading tracks the
// drag and tells the list its end.
void DragColumn(int column, int by) {
    HWND header = ListHeader();
    const RECT rect = HeadingRect(header, column);
    const int x = rect.right - 1, y = (rect.top + rect.bottom) / 2;
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + by / 2, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + by, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x + by, y));
    Settle();
}

double MsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The key is sent, not posted: the window handles it, repaints the rows in
// view and answers before SendMessage returns; then the list is asked for
// its first row, as a screen reader would.
void Keystrokes(int count) {
    HWND edit = target.Control(kPatternEditId);
    HWND list = target.Control(kFileListId);
    RemoteBuffer status(target.process.hProcess, 1024);
    constexpr std::size_t kTextAt = 256, kCapacity = 1024;
    RemoteBuffer cell(target.process.hProcess, kTextAt + kCapacity);
    const int end = GetWindowTextLengthA(edit);
    SendMessageA(edit, EM_SETSEL, WPARAM(end), LPARAM(end));
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        SendMessageA(edit, WM_CHAR, i % 2 == 0 ? 'x' : VK_BACK, 0);
        LVITEMA item{};
        item.iSubItem = 1;
        item.pszText = cell.At(kTextAt);
        item.cchTextMax = int(kCapacity);
        cell.Write(0, &item, sizeof item);
        SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(cell.At(0)));
        const double toList = MsSince(start);
        // The list paints once the window's queue is empty.
        while (GetUpdateRect(list, nullptr, FALSE)) Sleep(1);
        const double toPainted = MsSince(start);
        while (!StatusPart(status, kCountingPart).empty()) Sleep(0);
        std::printf("keystroke\t%.3f\t%.3f\t%.3f\n", toList, MsSince(start), toPainted);
    }
}

BOOL CALLBACK FindDialogOfTarget(HWND window, LPARAM found) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) != target.window || std::strcmp(className, "#32770") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindDialog() {
    HWND found = nullptr;
    EnumWindows(FindDialogOfTarget, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A dialog shows once its set-up, which fills and selects its controls, is
// done; found before, it may be found half made.
void WaitUntilShown(HWND dialog) {
    for (int i = 0; i < 1200 && dialog && IsWindow(dialog) && !IsWindowVisible(dialog); ++i) {
        Sleep(25);
    }
}

HWND WaitForDialog() {
    HWND dialog = nullptr;
    for (int i = 0; i < 1200 && !(dialog = FindDialog()) && !Exited(); ++i) Sleep(50);
    WaitUntilShown(dialog);
    return dialog;
}

// Posted: the picker is modal, so the click returns only when it closes.
// Once cancelled, the window answers again.
// The name of the folder the picker's tree has selected.
std::string PickedFolder(HWND picker) {
    HWND tree = FindWindowExA(picker, nullptr, WC_TREEVIEWA, nullptr);
    if (!tree) return "";
    const LPARAM item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item) return "";
    constexpr std::size_t kTextAt = 256, kCapacity = 512;
    RemoteBuffer buffer(target.process.hProcess, kTextAt + kCapacity);
    TVITEMA entry{};
    entry.mask = TVIF_TEXT;
    entry.hItem = reinterpret_cast<HTREEITEM>(item);
    entry.pszText = buffer.At(kTextAt);
    entry.cchTextMax = int(kCapacity);
    buffer.Write(0, &entry, sizeof entry);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer.At(0)));
    return buffer.ReadText(kTextAt, kCapacity);
}

// "browse<TAB>1<TAB>the folder it opened at" once the picker shows.
void Browse() {
    PostMessageA(target.Control(kBrowseButtonId), BM_CLICK, 0, 0);
    HWND picker = WaitForDialog();
    std::printf("browse\t%d\t%s\n", int(picker != nullptr),
                picker ? PickedFolder(picker).c_str() : "");
    if (picker) PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    Settle();
}

// The message box's texts, its buttons' left out.
void Dialog(const std::string& button) {
    HWND dialog = WaitForDialog();
    if (!dialog) Fail("no message box appeared");
    std::string text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        if (_stricmp(className, "Static") == 0 && !Text(child).empty()) text += Text(child);
    }
    std::printf("dialog\t%s\n", OneLine(text).c_str());
    const WPARAM id = button == "Yes" ? IDYES : button == "No" ? IDNO : IDCANCEL;
    PostMessageA(dialog, WM_COMMAND, id, 0);
    for (int i = 0; i < 1200 && IsWindow(dialog); ++i) Sleep(25);
    if (IsWindow(dialog)) Fail("the message box stayed open");
    Settle();
}

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != target.process.dwProcessId || std::strcmp(className, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void Usage(const std::vector<std::string>& words) {
    StartTarget(words);
    HWND box = nullptr;
    for (int i = 0; i < 2400 && !box && !Exited(); ++i) {
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&box));
        if (!box) Sleep(50);
    }
    WaitUntilShown(box);
    std::string text;
    for (HWND child = box ? GetWindow(box, GW_CHILD) : nullptr; child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        if (_stricmp(className, "Static") == 0 && !Text(child).empty()) text += Text(child);
    }
    if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    if (WaitForSingleObject(target.process.hProcess, 30000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(target.process.hProcess, &code)) {
        Fail("the program did not end once its message box was closed");
    }
    for (char& c : text) {
        if (c == '\n') c = '\t';
    }
    std::printf("usage\t%s\t%lu\n", OneLine(text).c_str(), code);
}

BOOL CALLBACK FindTipOfTarget(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != target.process.dwProcessId || _stricmp(className, TOOLTIPS_CLASSA) != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void Tip(int row, int column) {
    HWND list = target.Control(kFileListId);
    RemoteBuffer buffer(target.process.hProcess, sizeof(RECT));
    // The list reads the column from top and what to measure from left.
    RECT rect{column == 0 ? LVIR_LABEL : LVIR_BOUNDS, column, 0, 0};
    buffer.Write(0, &rect, sizeof rect);
    SendMessageA(list, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(buffer.At(0)));
    buffer.Read(0, &rect, sizeof rect);
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &at);
    SetCursorPos(at.x, at.y);
    HWND tip = nullptr;
    for (int i = 0; i < 400 && !tip; ++i) {
        EnumWindows(FindTipOfTarget, reinterpret_cast<LPARAM>(&tip));
        if (!tip) Sleep(25);
    }
    if (!tip) Fail("no tip showed over the cell");
    std::printf("tip\t%s\n", Text(tip).c_str());
}

void SetItemState(RemoteBuffer& buffer, int row, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(target.Control(kFileListId), LVM_SETITEMSTATE, WPARAM(row),
                 reinterpret_cast<LPARAM>(buffer.At(0)));
}

void Select(int row) {
    RemoteBuffer buffer(target.process.hProcess, sizeof(LVITEMA));
    SetItemState(buffer, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetItemState(buffer, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void Selected() {
    HWND list = target.Control(kFileListId);
    RemoteBuffer buffer(target.process.hProcess, kCellBufferSize);
    std::string line = "selected";
    for (int row = -1; (row = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED))) >= 0;) {
        line += "\t" + CellText(buffer, row, 0);
    }
    std::printf("%s\n", line.c_str());
}

int Height(HWND window) {
    RECT rect{};
    if (!window || !IsWindowVisible(window)) return 0;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

void Layout() {
    HWND list = target.Control(kFileListId);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    std::string line = "layout\t" + std::to_string(Height(target.Control(kWarningsTextId))) + "\t" +
                       std::to_string(Height(target.Control(kNoticeTextId))) + "\t" +
                       std::to_string(client.right);
    const int columns = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < columns; ++c) {
        line += "\t" + std::to_string(SendMessageA(list, LVM_GETCOLUMNWIDTH, WPARAM(c), 0));
    }
    std::printf("%s\n", line.c_str());
}

bool IsListBox(HWND control) {
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    return _stricmp(className, "ListBox") == 0;
}

// A combo box's or a list box's item, as a click would choose it.
void Choose(int id, int index) {
    HWND box = target.Control(id);
    const bool list = IsListBox(box);
    SendMessageA(box, list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(target.window, WM_COMMAND, MAKEWPARAM(id, list ? LBN_SELCHANGE : CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

std::string ListBoxLines(HWND box) {
    std::string line;
    const int count = int(SendMessageA(box, LB_GETCOUNT, 0, 0));
    // Asked in wide text: Wine hands a list box's text across processes so.
    for (int i = 0; i < count; ++i) {
        wchar_t text[1024] = L"";
        if (SendMessageW(box, LB_GETTEXTLEN, WPARAM(i), 0) < LRESULT(std::size(text))) {
            SendMessageW(box, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        }
        line += "\t" + Utf8(text);
    }
    return line;
}

// With a line, that line is highlighted first and the pattern box then
// printed: "previewed<TAB>its text"; "cancel" closes the dialog with Cancel.
void Suggest(const std::vector<std::string>& words) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PostMessageA(target.Control(kSuggestButtonId), BM_CLICK, 0, 0);
    // Polled often: the time until the list shows is the figure.
    HWND chooser = nullptr;
    for (int i = 0; i < 60000 && !Exited(); ++i) {
        chooser = FindDialog();
        if (chooser && IsWindowVisible(chooser)) break;
        Sleep(1);
    }
    if (!chooser || !IsWindowVisible(chooser)) Fail("no suggestions appeared");
    std::printf("suggested\t%.1f\n", MsSince(start));
    HWND list = FindWindowExA(chooser, nullptr, "ListBox", nullptr);
    const std::string lines = ListBoxLines(list);
    for (std::size_t at = 1, next; at <= lines.size(); at = next + 1) {
        next = lines.find('\t', at);
        if (next == std::string::npos) next = lines.size();
        std::printf("suggestion\t%s\n", lines.substr(at, next - at).c_str());
    }
    if (!words.empty()) {
        const int line = std::atoi(words[0].c_str());
        SendMessageA(list, LB_SETCURSEL, WPARAM(line), 0);
        SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        std::printf("previewed\t%s\n", Text(target.Control(kPatternEditId)).c_str());
    }
    const bool cancel = words.size() > 1 && words[1] == "cancel";
    PostMessageA(chooser, WM_COMMAND, cancel ? IDCANCEL : IDOK, 0);
    for (int i = 0; i < 1200 && IsWindow(chooser); ++i) Sleep(25);
    if (IsWindow(chooser)) Fail("the suggestions stayed open");
    Settle();
}

void Settings() {
    std::string line = "settings\t";
    DWORD on = 0, size = sizeof on;
    line += RegGetValueA(HKEY_CURRENT_USER, kSubkey, "KestraTagFromFilename.OnlyWhenFits",
                         RRF_RT_REG_DWORD, nullptr, &on, &size) == ERROR_SUCCESS
                ? std::to_string(on)
                : "none";
    for (int n = 2; n <= 9; ++n) {
        const std::string name = std::string(kPatternValue) + "." + std::to_string(n);
        char value[1024] = "";
        size = sizeof value;
        if (RegGetValueA(HKEY_CURRENT_USER, kSubkey, name.c_str(), RRF_RT_REG_SZ, nullptr, value,
                         &size) != ERROR_SUCCESS) {
            break;
        }
        line += "\t" + std::string(value);
    }
    std::printf("%s\n", line.c_str());
}

// Read from the screen, as the user sees it: the window is brought to the
// top first.
void Background(int row) {
    HWND list = target.Control(kFileListId);
    SetWindowPos(target.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(target.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();
    RemoteBuffer buffer(target.process.hProcess, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    buffer.Write(0, &rect, sizeof rect);
    SendMessageA(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(buffer.At(0)));
    buffer.Read(0, &rect, sizeof rect);
    POINT at{rect.left, rect.top};
    ClientToScreen(list, &at);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) Fail("row " + std::to_string(row) + " is not in view");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, at.x, at.y, SRCCOPY);
    GdiFlush();
    std::map<std::uint32_t, int> seen;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) ++seen[pixels[i] & 0xFFFFFF];
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::uint32_t most = 0;
    int count = 0;
    for (const auto& [colour, n] : seen) {
        if (n > count) most = colour, count = n;
    }
    std::printf("background\t%d\t%06X\n", row, unsigned(most));
}

void Info() {
    RECT rect;
    GetWindowRect(target.window, &rect);
    std::printf("info\t%s\t%ld\t%ld\n", Text(target.Control(kFolderEditId)).c_str(),
                rect.right - rect.left, rect.bottom - rect.top);
}

void SetValue(const char* name, const char* value) {
    if (value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kSubkey, name, REG_SZ, value, DWORD(std::strlen(value) + 1));
    } else {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kSubkey, name);
    }
}

// A value as it was, to be put back.
struct SavedValue {
    std::string name;
    bool present = false;
    DWORD type = 0;
    BYTE data[2048] = {};
    DWORD size = 0;
};

SavedValue Save(const std::string& name) {
    SavedValue saved;
    saved.name = name;
    saved.size = sizeof saved.data;
    saved.present = RegGetValueA(HKEY_CURRENT_USER, kSubkey, name.c_str(), RRF_RT_ANY,
                                 &saved.type, saved.data, &saved.size) == ERROR_SUCCESS;
    return saved;
}

// The names of the remembered values now in the key.
std::vector<std::string> RememberedNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSubkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        for (const char* prefix : kRememberedPrefixes) {
            if (_strnicmp(name, prefix, std::strlen(prefix)) == 0) names.push_back(name);
        }
    }
    RegCloseKey(key);
    return names;
}

void DeleteRemembered() {
    for (const std::string& name : RememberedNames()) {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kSubkey, name.c_str());
    }
}

void Restore(const SavedValue& saved) {
    if (saved.present) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kSubkey, saved.name.c_str(), saved.type, saved.data,
                        saved.size);
    }
}

bool IsStep(const std::string& word) {
    static const char* const kSteps[] = {"launch", "wait", "responsive", "type", "cells",
                                         "status", "warnings", "use", "sort", "key",
                                         "focus", "resize", "info", "exited",
                                         "keystrokes", "browse", "settext", "dialog",
                                         "select", "selected", "layout", "text", "click",
                                         "choose", "alive", "usage", "tip", "makefile",
                                         "suggest", "items", "checked", "settings",
                                         "background", "dragcolumn", "statusparts"};
    for (const char* step : kSteps) {
        if (word == step) return true;
    }
    return false;
}

void RunStep(const std::string& step, const std::vector<std::string>& words) {
    auto word = [&](std::size_t i) {
        if (i >= words.size()) Fail(step + " needs more words");
        return words[i];
    };
    if (step == "launch") Launch(words);
    if (step == "wait") Wait();
    if (step == "responsive") Responsive();
    if (step == "type") Type(words.empty() ? "" : words[0]);
    if (step == "cells") Cells(words.empty() ? 0 : std::atoi(words[0].c_str()));
    if (step == "status") Status();
    if (step == "statusparts") StatusParts();
    if (step == "warnings") std::printf("warnings\t%s\n", OneLine(Text(target.Control(kWarningsTextId))).c_str());
    if (step == "use") Use();
    if (step == "sort") Sort(std::atoi(word(0).c_str()));
    if (step == "key") Key(word(0));
    if (step == "focus") std::printf("focus\t%d\n", GetDlgCtrlID(FocusedControl()));
    if (step == "resize") {
        SetWindowPos(target.window, nullptr, 0, 0, std::atoi(word(0).c_str()),
                     std::atoi(word(1).c_str()), SWP_NOMOVE | SWP_NOZORDER);
    }
    if (step == "info") Info();
    if (step == "browse") Browse();
    if (step == "keystrokes") Keystrokes(std::atoi(word(0).c_str()));
    if (step == "settext") {
        SendMessageA(target.Control(std::atoi(word(0).c_str())), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(word(1).c_str()));
    }
    if (step == "dialog") Dialog(word(0));
    if (step == "usage") Usage(words);
    if (step == "makefile") {
        HANDLE file = CreateFileA(word(0).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Fail("cannot make " + word(0));
        CloseHandle(file);
    }
    if (step == "tip") Tip(std::atoi(word(0).c_str()), std::atoi(word(1).c_str()));
    if (step == "alive") std::printf("alive\t%d\n", int(!Exited()));
    if (step == "select") Select(std::atoi(word(0).c_str()));
    if (step == "selected") Selected();
    if (step == "layout") Layout();
    if (step == "text") std::printf("text\t%s\n", OneLine(Text(target.Control(std::atoi(word(0).c_str())))).c_str());
    if (step == "click") SendMessageA(target.Control(std::atoi(word(0).c_str())), BM_CLICK, 0, 0);
    if (step == "choose") Choose(std::atoi(word(0).c_str()), std::atoi(word(1).c_str()));
    if (step == "suggest") Suggest(words);
    if (step == "items") {
        std::printf("items%s\n", ListBoxLines(target.Control(std::atoi(word(0).c_str()))).c_str());
    }
    if (step == "checked") {
        std::printf("checked\t%d\n", int(SendMessageA(target.Control(std::atoi(word(0).c_str())),
                                                      BM_GETCHECK, 0, 0) == BST_CHECKED));
    }
    if (step == "settings") Settings();
    if (step == "background") Background(std::atoi(word(0).c_str()));
    if (step == "dragcolumn") DragColumn(std::atoi(word(0).c_str()), std::atoi(word(1).c_str()));
    if (step == "exited") {
        std::printf("exited\t%d\n",
                    int(WaitForSingleObject(target.process.hProcess, 30000) == WAIT_OBJECT_0));
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    char oldPattern[1024] = "";
    DWORD size = sizeof oldPattern;
    const bool hadPattern = RegGetValueA(HKEY_CURRENT_USER, kSubkey, kPatternValue, RRF_RT_REG_SZ,
                                         nullptr, oldPattern, &size) == ERROR_SUCCESS;
    std::vector<SavedValue> remembered;
    for (const std::string& name : RememberedNames()) remembered.push_back(Save(name));
    DeleteRemembered();
    std::size_t i = 0;
    for (; i + 1 < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
        if (args[i] == "--installed-to") SetValue("InstalledTo", args[i + 1].c_str());
        if (args[i] == "--stored-pattern") SetValue(kPatternValue, args[i + 1].c_str());
    }
    while (i < args.size()) {
        const std::string step = args[i++];
        if (!IsStep(step)) Fail("unknown step " + step);
        std::vector<std::string> words;
        // "type" takes exactly one word, which may be empty or a step's name;
        // "settext" an id and such a word.
        if (step == "type") {
            words.push_back(i < args.size() ? args[i++] : "");
        } else if (step == "settext") {
            for (int n = 0; n < 2; ++n) words.push_back(i < args.size() ? args[i++] : "");
        } else {
            while (i < args.size() && !IsStep(args[i])) words.push_back(args[i++]);
        }
        RunStep(step, words);
    }
    if (target.process.hProcess && WaitForSingleObject(target.process.hProcess, 0) != WAIT_OBJECT_0) {
        // An edited pattern is dropped, as the user would drop it.
        PostMessageA(target.window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 200 && !Exited(); ++i) {
            if (HWND question = FindDialog()) PostMessageA(question, WM_COMMAND, IDNO, 0);
            Sleep(50);
        }
        if (!Exited()) TerminateProcess(target.process.hProcess, 1);
    }
    SetValue("InstalledTo", nullptr);
    SetValue(kPatternValue, hadPattern ? oldPattern : nullptr);
    DeleteRemembered();
    for (const SavedValue& saved : remembered) Restore(saved);
    return 0;
}
