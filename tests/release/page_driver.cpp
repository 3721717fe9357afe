// Drives the installer's and the uninstaller's pages as a user would, from
// another process, for installer_test.py. It reads one step a line from its
// standard input and answers each with one line, so that the test can look
// at the disk, hold files or wait for other programs between steps:
//
//   start COMMAND LINE   start the program; "start<TAB>process id"
//   page TEXT            once the page's title holds TEXT: "page<TAB>title
//                        <TAB>the first button's text<TAB>1|0 (enabled)
//                        <TAB>the details, one line a field"
//   dialog [BUTTON]      once a message box shows: "dialog<TAB>its text", and
//                        BUTTON (OK, Cancel, Abort, Retry, Ignore, Yes, No)
//                        is pressed; without one it stays
//   click ID             press the page's button ID (1 is Install or Close)
//   exited               "exited<TAB>exit status" once the program has ended
//   icon EXE             once the program shows a window that is no dialog:
//                        "icon<TAB>1" when its title bar shows the 16-pixel
//                        icon of EXE's icon resource "PathTagger", else 0;
//                        the window is then closed
//
// What goes wrong ends the driver with "error<TAB>why". Every wait has a
// bound, for a program that never shows what the step waits for.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 60000;
constexpr int kDetailsListId = 1016;

PROCESS_INFORMATION program{};

[[noreturn]] void Fail(const std::string& why) {
    std::printf("error\t%s\n", why.c_str());
    std::fflush(stdout);
    std::exit(1);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(std::strlen(bytes.c_str()));
    return bytes;
}

std::wstring Wide(const std::string& bytes) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
    std::wstring text(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, text.data(), size);
    text.resize(wcslen(text.c_str()));
    return text;
}

// A text of several lines as one field of an answer.
std::string OneField(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    return text;
}

std::wstring TextOf(HWND window) {
    wchar_t text[4096] = L"";
    GetWindowTextW(window, text, 4096);
    return text;
}

bool IsDialog(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return std::wcscmp(name, L"#32770") == 0;
}

// The program's visible top-level dialogs: its pages' frame, known by the
// place it keeps for the page (which is a dialog of its own, and missing
// while one page follows another), and message boxes.
constexpr int kPagePlaceId = 1018;

struct Search {
    bool wantFrame;
    HWND found;
};

BOOL CALLBACK FindWindowOfProgram(HWND window, LPARAM data) {
    Search& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != program.dwProcessId || !IsWindowVisible(window) || !IsDialog(window)) return TRUE;
    const bool frame = GetDlgItem(window, kPagePlaceId) != nullptr;
    if (frame != search.wantFrame) return TRUE;
    search.found = window;
    return FALSE;
}

HWND WaitForWindow(bool frame, const std::wstring& titlePart) {
    for (DWORD waited = 0; waited < kPatienceMs; waited += 50) {
        Search search{frame, nullptr};
        EnumWindows(FindWindowOfProgram, reinterpret_cast<LPARAM>(&search));
        if (search.found && TextOf(search.found).find(titlePart) != std::wstring::npos) {
            return search.found;
        }
        if (WaitForSingleObject(program.hProcess, 50) == WAIT_OBJECT_0) {
            Fail("the program ended while waiting for " + std::string(frame ? "a page" : "a message box"));
        }
    }
    Fail(frame ? "no page with \"" + Utf8(titlePart) + "\" in its title showed"
               : std::string("no message box showed"));
}

BOOL CALLBACK FindDetails(HWND child, LPARAM found) {
    if (GetDlgCtrlID(child) != kDetailsListId) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The details list's lines, read through memory in the program's process.
std::vector<std::string> Details(HWND frame) {
    HWND list = nullptr;
    EnumChildWindows(frame, FindDetails, reinterpret_cast<LPARAM>(&list));
    std::vector<std::string> lines;
    if (!list) return lines;
    constexpr SIZE_T kTextChars = 2048;
    char* remote = static_cast<char*>(VirtualAllocEx(program.hProcess, nullptr,
                                                     sizeof(LVITEMW) + kTextChars * 2,
                                                     MEM_COMMIT, PAGE_READWRITE));
    if (!remote) Fail("no memory in the program's process");
    const int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = kTextChars;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
        WriteProcessMemory(program.hProcess, remote, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(remote));
        std::wstring text(kTextChars, L'\0');
        ReadProcessMemory(program.hProcess, remote + sizeof item, text.data(), kTextChars * 2, nullptr);
        text.resize(wcsnlen(text.c_str(), kTextChars));
        lines.push_back(OneField(Utf8(text)));
    }
    VirtualFreeEx(program.hProcess, remote, 0, MEM_RELEASE);
    return lines;
}

void Page(const std::string& titlePart) {
    const HWND frame = WaitForWindow(true, Wide(titlePart));
    const HWND first = GetDlgItem(frame, IDOK);
    std::string answer = "page\t" + OneField(Utf8(TextOf(frame))) + "\t" +
                         OneField(Utf8(TextOf(first))) + "\t" +
                         (IsWindowEnabled(first) ? "1" : "0");
    for (const std::string& line : Details(frame)) answer += "\t" + line;
    std::printf("%s\n", answer.c_str());
}

BOOL CALLBACK FindMessageText(HWND child, LPARAM text) {
    wchar_t name[16] = L"";
    GetClassNameW(child, name, 16);
    if (std::wcscmp(name, L"Static") != 0 || TextOf(child).empty()) return TRUE;
    *reinterpret_cast<std::wstring*>(text) = TextOf(child);
    return FALSE;
}

void Press(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void Dialog(const std::string& button) {
    static const std::pair<const char*, int> kButtons[] = {
        {"OK", IDOK}, {"Cancel", IDCANCEL}, {"Abort", IDABORT}, {"Retry", IDRETRY},
        {"Ignore", IDIGNORE}, {"Yes", IDYES}, {"No", IDNO}};
    int id = 0;
    for (const auto& [name, value] : kButtons) {
        if (button == name) id = value;
    }
    if (!id && !button.empty()) Fail("no button called " + button);
    const HWND box = WaitForWindow(false, L"");
    std::wstring text;
    EnumChildWindows(box, FindMessageText, reinterpret_cast<LPARAM>(&text));
    if (id && !GetDlgItem(box, id)) Fail("the message box has no " + button + " button");
    std::printf("dialog\t%s\n", OneField(Utf8(text)).c_str());
    if (!id) return;
    Press(box, id);
    // Gone before the next step looks for a message box.
    for (DWORD waited = 0; IsWindow(box) && IsWindowVisible(box); waited += 50) {
        if (waited >= kPatienceMs) Fail("the message box stays after " + button);
        Sleep(50);
    }
}

BOOL CALLBACK FindPlainWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != program.dwProcessId || !IsWindowVisible(window) || IsDialog(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

constexpr int kSmallIcon = 16;
using Pixels = std::vector<COLORREF>;

// A 32-bit picture in memory to draw or copy into, read back row by row.
class Canvas {
public:
    Canvas(int width, int height) : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!bitmap_) Fail("no picture in memory");
        old_ = SelectObject(memory_, bitmap_);
        size_ = std::size_t(width) * height;
    }
    ~Canvas() {
        SelectObject(memory_, old_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Screen() const { return screen_; }
    HDC Memory() const { return memory_; }
    Pixels Read() const {
        GdiFlush();
        const COLORREF* bits = static_cast<const COLORREF*>(bits_);
        Pixels pixels(bits, bits + size_);
        for (COLORREF& pixel : pixels) pixel &= 0xFFFFFF;
        return pixels;
    }

private:
    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    std::size_t size_ = 0;
};

Pixels ScreenPixels(int left, int top, int width, int height) {
    Canvas canvas(width, height);
    BitBlt(canvas.Memory(), 0, 0, width, height, canvas.Screen(), left, top, SRCCOPY);
    return canvas.Read();
}

Pixels DrawnIcon(HICON icon, COLORREF background) {
    Canvas canvas(kSmallIcon, kSmallIcon);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, kSmallIcon, kSmallIcon};
    FillRect(canvas.Memory(), &all, brush);
    DeleteObject(brush);
    DrawIconEx(canvas.Memory(), 0, 0, icon, kSmallIcon, kSmallIcon, 0, nullptr, DI_NORMAL);
    return canvas.Read();
}

// Whether the window's title bar, near its left end, shows the icon: every
// pixel the icon covers whole (the same over black and over white) found
// there, at some place.
void Icon(const std::string& exe) {
    HWND window = nullptr;
    for (DWORD waited = 0; !window && waited < kPatienceMs; waited += 50) {
        EnumWindows(FindPlainWindow, reinterpret_cast<LPARAM>(&window));
        if (!window) Sleep(50);
    }
    if (!window) Fail("no window showed");
    const std::wstring path = Wide(exe);
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) Fail("cannot read " + exe);
    HICON icon = static_cast<HICON>(LoadImageW(module, L"PathTagger", IMAGE_ICON, kSmallIcon,
                                               kSmallIcon, 0));
    if (!icon) Fail(exe + " has no icon PathTagger");
    const Pixels overBlack = DrawnIcon(icon, RGB(0, 0, 0));
    const Pixels overWhite = DrawnIcon(icon, RGB(255, 255, 255));
    DestroyIcon(icon);
    FreeLibrary(module);

    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT frame{};
    GetWindowRect(window, &frame);
    constexpr int kSearch = 48;  // the title bar's left end
    const Pixels screen = ScreenPixels(frame.left, frame.top, kSearch, kSearch);
    bool shown = false;
    for (int y = 0; !shown && y + kSmallIcon <= kSearch; ++y) {
        for (int x = 0; !shown && x + kSmallIcon <= kSearch; ++x) {
            int covered = 0;
            int matching = 0;
            for (int i = 0; i < kSmallIcon * kSmallIcon; ++i) {
                if (overBlack[i] != overWhite[i]) continue;
                ++covered;
                matching += screen[(y + i / kSmallIcon) * kSearch + x + i % kSmallIcon] == overBlack[i];
            }
            shown = covered > 0 && matching == covered;
        }
    }
    std::printf("icon\t%d\n", shown ? 1 : 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void Start(const std::string& commandLine) {
    std::wstring line = Wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program)) {
        Fail("cannot start " + commandLine);
    }
    std::printf("start\t%lu\n", program.dwProcessId);
}

void Click(int id) {
    const HWND frame = WaitForWindow(true, L"");
    if (!IsWindowEnabled(GetDlgItem(frame, id))) Fail("button " + std::to_string(id) + " is disabled");
    Press(frame, id);
    std::printf("click\t%d\n", id);
}

void Exited() {
    if (WaitForSingleObject(program.hProcess, kPatienceMs) != WAIT_OBJECT_0) Fail("the program still runs");
    DWORD status = 0;
    GetExitCodeProcess(program.hProcess, &status);
    std::printf("exited\t%lu\n", status);
}

}  // namespace

int main() {
    char line[8192];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string step(line);
        while (!step.empty() && (step.back() == '\n' || step.back() == '\r')) step.pop_back();
        const std::size_t space = step.find(' ');
        const std::string word = step.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : step.substr(space + 1);
        if (word == "start") {
            Start(rest);
        } else if (word == "page") {
            Page(rest);
        } else if (word == "dialog") {
            Dialog(rest);
        } else if (word == "click") {
            Click(std::atoi(rest.c_str()));
        } else if (word == "exited") {
            Exited();
        } else if (word == "icon") {
            Icon(rest);
        } else {
            Fail("no step " + word);
        }
        std::fflush(stdout);
    }
    return 0;
}
