#include "ui/plain_window.h"

namespace {

constexpr std::int32_t kKeep = -1;

void Update(std::int32_t& stored, std::int32_t requested) {
    if (requested != kKeep) stored = requested;
}

}  // namespace

PlainWindow::PlainWindow(const char* title, const char* className, UINT classStyle,
                         WNDPROC windowProcedure, HINSTANCE instance,
                         HBRUSH backgroundBrush, HCURSOR cursor, const char* menuName,
                         HICON icon, DWORD extendedStyle, DWORD style, std::int32_t x,
                         std::int32_t y, std::int32_t width, std::int32_t height,
                         HWND parentWindow, void* creationParameter)
    : instance_(instance),
      x_(x),
      y_(y),
      width_(width),
      height_(height),
      visible_((style & WS_VISIBLE) != 0),
      maximised_((style & WS_MAXIMIZE) != 0),
      minimised_((style & WS_MINIMIZE) != 0) {
    // A cut class name would register, and later unregister, another class.
    if (!className_.Assign(className)) {
        className_.Clear();
        return;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = backgroundBrush;
    windowClass.lpszMenuName = menuName;
    windowClass.lpszClassName = className_.CStr();
    RegisterClassExA(&windowClass);
    window_ = CreateWindowExA(extendedStyle, className_.CStr(), title, style, x, y, width,
                              height, parentWindow, nullptr, instance, creationParameter);
}

PlainWindow::~PlainWindow() {
    if (window_ != nullptr) {
        Hide();
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (!className_.Empty()) UnregisterClassA(className_.CStr(), instance_);
}

BOOL PlainWindow::Show() {
    visible_ = true;
    return ShowWindow(window_, SW_SHOW);
}

BOOL PlainWindow::Hide() {
    visible_ = false;
    return ShowWindow(window_, SW_HIDE);
}

BOOL PlainWindow::Minimise() {
    maximised_ = false;
    minimised_ = true;
    return ShowWindow(window_, SW_MINIMIZE);
}

BOOL PlainWindow::Maximise() {
    maximised_ = true;
    minimised_ = false;
    return ShowWindow(window_, SW_SHOWMAXIMIZED);
}

void PlainWindow::Move(std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height) {
    Update(x_, x);
    Update(y_, y);
    Update(width_, width);
    Update(height_, height);
    SetWindowPos(window_, nullptr, x_, y_, width_, height_,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
