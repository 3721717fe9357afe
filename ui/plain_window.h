// Registers a window class, creates one window of it and keeps the
// window's position, size and the show state that it last set itself.
// Destruction destroys the window and unregisters the class.
#pragma once

#include <windows.h>

#include <cstdint>

#include "util/fixed_text.h"

class PlainWindow {
public:
    PlainWindow(const char* title, const char* className, UINT classStyle,
                WNDPROC windowProcedure, HINSTANCE instance, HBRUSH backgroundBrush,
                HCURSOR cursor, const char* menuName, HICON icon, DWORD extendedStyle,
                DWORD style, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, HWND parentWindow, void* creationParameter);
    ~PlainWindow();
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;

    BOOL Show();
    BOOL Hide();
    BOOL Minimise();
    BOOL Maximise();
    // Every argument of -1 keeps the stored value.
    void Move(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

    HWND Window() const { return window_; }
    const char* ClassName() const { return className_.CStr(); }
    bool Visible() const { return visible_; }
    bool Maximised() const { return maximised_; }
    bool Minimised() const { return minimised_; }

private:
    HINSTANCE instance_;
    FixedText<200> className_;
    std::int32_t x_, y_, width_, height_;
    bool visible_;
    bool maximised_;
    bool minimised_;
    HWND window_ = nullptr;
};
