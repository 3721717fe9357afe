#include "tools/preview-window/status_bar.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "tools/preview-window/preview_window.h"

namespace {

constexpr int kPartEnds[] = {170, 290, 420, 515, 685, 790, 885, -1};

std::string Counted(std::size_t n, const char* what) { return std::to_string(n) + " " + what; }

std::string Counted(std::size_t n, const char* one, const char* many) {
    return Counted(n, n == 1 ? one : many);
}

}  // namespace

void StatusBar::Create(const ControlMaker& maker) {
    bar_ = maker.Add(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, kStatusBarId);
    SendMessageA(bar_, SB_SETPARTS, std::size(kPartEnds), reinterpret_cast<LPARAM>(kPartEnds));
}

int StatusBar::Resize() {
    SendMessageA(bar_, WM_SIZE, 0, 0);
    RECT rect;
    GetWindowRect(bar_, &rect);
    return rect.bottom - rect.top;
}

void StatusBar::Show(const ListFigures& figures, bool walking) {
    std::string parts[std::size(kPartEnds)];
    parts[0] = (walking ? "Reading the folder: " : "") + Counted(figures.files, "file", "files");
    const bool counted = !walking && figures.counted;
    if (counted && figures.filtered) {
        parts[0] = std::to_string(figures.shown) + " of " + parts[0] + " shown";
    }
    if (figures.countsKnown) {
        const PreviewCounts& counts = figures.counts;
        parts[1] = Counted(counts.tagged, "would be tagged");
        parts[2] = Counted(counts.nothingRecognised, "nothing recognised");
        parts[3] = Counted(counts.noDecoder, "no decoder");
        parts[4] = Counted(counts.cannotWrite, "decoder cannot write tags");
        parts[5] = Counted(counts.unusablePath, "unusable path", "unusable paths");
        parts[6] = Counted(counts.doesNotFit, counts.doesNotFit == 1 ? "does not fit" : "do not fit");
    }
    if (!counted) parts[7] = figures.files ? "counting..." : "";
    for (std::size_t i = 0; i < std::size(parts); ++i) {
        SendMessageA(bar_, SB_SETTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(parts[i].c_str()));
    }
}
