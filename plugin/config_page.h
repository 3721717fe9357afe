// The configuration page that the plugin places into the host's options
// window: a child dialog (template 101) whose edit box 1003 holds the tag
// pattern. Every notification from the edit box stores its text at once;
// there is no OK or Apply step.
#pragma once

#include <windows.h>

constexpr int kConfigPageTemplateId = 101;
constexpr int kPatternEditId = 1003;

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT message, WPARAM wParam,
                                LPARAM lParam);
