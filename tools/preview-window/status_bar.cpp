#include "tools/preview-window/status_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "tools/preview-window/preview_window.h"

namespace {

// Room beside a part's text: its borders and margins.
constexpr int kPartPadding = 14;

std::string Counted(std::size_t n, const char* what) { return Grouped(n) + " " + what; }

std::string Counted(std::size_t n, const char* one, const char* many) {
    return Counted(n, n == 1 ? one : many);
}

char ThousandsSeparator() {
    char separator[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator) < 2) {
        return ',';
    }
    return separator[0];
}

}  // namespace

std::string Grouped(std::size_t n) {
    static const char separator = ThousandsSeparator();
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, separator);
    return digits;
}

void StatusBar::Create(const ControlMaker& maker) {
    bar_ = maker.Add(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBarId);
    font_ = maker.font;
    Fit();
}

int StatusBar::Resize() {
    SendMessageA(bar_, WM_SIZE, 0, 0);
    Fit();
    RECT rect;
    GetWindowRect(bar_, &rect);
    return rect.bottom - rect.top;
}

void StatusBar::Show(const ListFigures& figures, bool walking) {
    std::string files = Counted(figures.files, "file", "files");
    const bool counted = !walking && figures.counted;
    if (counted && figures.filtered) files = Grouped(figures.shown) + " of " + files + " shown";
    if (figures.countsKnown) {
        lastCounts_ = figures.counts;
        lastCountedFiles_ = figures.files;
    }
    const bool showCounts = figures.countsKnown || lastCountedFiles_ == figures.files;
    const PreviewCounts& counts = lastCounts_;
    const std::size_t numbers[] = {counts.tagged, counts.nothingRecognised, counts.noDecoder,
                                   counts.cannotWrite, counts.unusablePath, counts.doesNotFit};
    const char* const fullWords[] = {"would be tagged", "nothing recognised", "no decoder",
                                     "decoder cannot write tags",
                                     counts.unusablePath == 1 ? "unusable path" : "unusable paths",
                                     counts.doesNotFit == 1 ? "does not fit" : "do not fit"};
    const char* const briefWords[] = {"to tag", "unread", "no decoder", "cannot write",
                                      "unusable", "misfit"};
    std::string full[kParts], brief[kParts];
    full[0] = (walking ? "Reading the folder: " : "") + files;
    brief[0] = (walking ? "Reading: " : "") + files;
    for (int i = 1; i + 1 < kParts; ++i) {
        full[i] = showCounts ? Counted(numbers[i - 1], fullWords[i - 1]) : "";
        brief[i] = showCounts ? Counted(numbers[i - 1], briefWords[i - 1]) : "";
    }
    // The last part takes what the others leave: it alone changing, the
    // parts keep their widths.
    const std::string last = !counted && figures.files ? "counting..." : "";
    const bool widthsKept = std::equal(full, full + kParts - 1, full_) &&
                            std::equal(brief, brief + kParts - 1, brief_);
    std::copy(std::begin(full), std::end(full), std::begin(full_));
    std::copy(std::begin(brief), std::end(brief), std::begin(brief_));
    full_[kParts - 1] = brief_[kParts - 1] = last;
    if (!widthsKept) {
        Fit();
    } else if (last != shown_[kParts - 1]) {
        shown_[kParts - 1] = last;
        SendMessageA(bar_, SB_SETTEXTA, kParts - 1, reinterpret_cast<LPARAM>(last.c_str()));
    }
}

int StatusBar::Width(const std::string& text, HDC dc) const {
    if (text.empty()) return 0;
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return int(size.cx) + kPartPadding;
}

// The full texts where they fit, else the brief ones, else the brief ones
// of the parts that count something. The last part, "counting...", takes
// what is left. Only what changed is set: each part set costs a repaint.
void StatusBar::Fit() {
    RECT client;
    GetClientRect(bar_, &client);
    const int room = int(client.right) - GetSystemMetrics(SM_CXVSCROLL);
    HDC dc = GetDC(bar_);
    HGDIOBJ old = SelectObject(dc, font_);
    int widths[kParts] = {};
    const std::string* texts = full_;
    int total = 0;
    for (const std::string* candidate : {full_, brief_}) {
        texts = candidate;
        total = 0;
        for (int i = 0; i + 1 < kParts; ++i) total += widths[i] = Width(texts[i], dc);
        if (total <= room) break;
    }
    SelectObject(dc, old);
    ReleaseDC(bar_, dc);
    for (int i = kParts - 2; i > 0 && total > room; --i) {
        if (texts[i].rfind("0 ", 0) != 0) continue;
        total -= widths[i];
        widths[i] = 0;
    }
    int ends[kParts];
    int end = 0;
    for (int i = 0; i + 1 < kParts; ++i) ends[i] = end += widths[i];
    ends[kParts - 1] = -1;
    if (!std::equal(std::begin(ends), std::end(ends), std::begin(ends_))) {
        std::copy(std::begin(ends), std::end(ends), std::begin(ends_));
        SendMessageA(bar_, SB_SETPARTS, kParts, reinterpret_cast<LPARAM>(ends_));
    }
    for (int i = 0; i < kParts; ++i) {
        if (texts[i] == shown_[i]) continue;
        shown_[i] = texts[i];
        SendMessageA(bar_, SB_SETTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(shown_[i].c_str()));
    }
}
