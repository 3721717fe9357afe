// Driving the plugin's configuration page through real windows, as a user
// would: a parent window, the pages placed in it, typing into the edit box.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/host/plugin_loader.h"

inline LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

inline HWND CreateParentWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASSA c = {};
        c.lpfnWndProc = ParentProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "PathTaggerTestOptions";
        return RegisterClassA(&c) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowA("PathTaggerTestOptions", "options", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         10, 10, width, height, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// The pages that ShowConfigBit placed in the parent.
inline std::vector<HWND> Pages(HWND parent) {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(parent, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, 1003)) pages.push_back(child);
    }
    return pages;
}

// Calls ShowConfigBit and returns the page it added.
inline HWND ShowPage(const LoadedPlugin& plugin, HWND parent) {
    const std::vector<HWND> before = Pages(parent);
    EXPECT_TRUE(plugin.showConfigBit(parent));
    for (HWND page : Pages(parent)) {
        if (std::find(before.begin(), before.end(), page) == before.end()) return page;
    }
    ADD_FAILURE() << "no new page";
    return nullptr;
}

inline std::string EditText(HWND page) {
    char text[1024] = "";
    GetWindowTextA(GetDlgItem(page, 1003), text, sizeof text);
    return text;
}

inline void Type(HWND page, const std::string& keys) {
    HWND edit = GetDlgItem(page, 1003);
    for (char c : keys) SendMessageA(edit, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
}

inline void SetEditText(HWND page, const char* text) {
    SendMessageA(GetDlgItem(page, 1003), WM_SETTEXT, 0, LPARAM(text));
}

