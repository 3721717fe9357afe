// What the preview window's parts share: their measures, how a part makes
// its controls, and how the frame moves them all in one step.
#pragma once

#include <windows.h>

#include <string>

constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kTokenRowHeight = 22;
constexpr int kLabelWidth = 60;
constexpr int kButtonWidth = 120;
constexpr int kGap = 4;
constexpr int kCheckBoxHeight = 20;

// Where a part's controls are made: the window, its instance and its font.
struct ControlMaker {
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    HFONT font = nullptr;

    // Visible, with the window's font; id -1 for a control nobody asks for.
    HWND Add(const char* className, const char* text, DWORD style, int id) const;
};

std::string WindowText(HWND window);

// Moves of many controls, made at once when the placer ends: no control is
// drawn at a place it leaves a moment later.
class Placer {
public:
    explicit Placer(int controls) : moves_(BeginDeferWindowPos(controls)) {}
    ~Placer();
    Placer(const Placer&) = delete;
    Placer& operator=(const Placer&) = delete;

    void Move(HWND control, int x, int y, int width, int height);

private:
    HDWP moves_;
};

// What the window's threads post to it; WM_USER + 0 is taken by the dialog
// manager's default-button query.
constexpr UINT kFilesArrived = WM_APP + 1;
constexpr UINT kValuesReady = WM_APP + 2;
constexpr UINT kSuggestionsReady = WM_APP + 3;
// The window's timers.
constexpr UINT_PTR kValuesDueTimer = 1;
