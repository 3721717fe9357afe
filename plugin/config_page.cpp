#include "plugin/config_page.h"

#include "plugin/plugin_exports.h"
#include "plugin/tag_pattern_setting.h"

namespace {

const DLGTEMPLATE* LockPageTemplate() {
    HRSRC found = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(kConfigPageTemplateId),
                                MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(ModuleInstance, found);
    if (!loaded) return nullptr;
    return static_cast<const DLGTEMPLATE*>(LockResource(loaded));
}

void StorePatternFromEditBox(HWND page) {
    char text[260] = "";
    GetWindowTextA(GetDlgItem(page, kPatternEditId), text, sizeof text);
    SetAndStoreTagPattern(text);
}

}  // namespace

BOOL __cdecl ShowConfigBit(HWND parent) {
    const DLGTEMPLATE* pageTemplate = LockPageTemplate();
    if (!pageTemplate) return FALSE;
    HWND page = CreateDialogIndirectParamA(ModuleInstance, pageTemplate, parent,
                                           ConfigPageProc, 0);
    if (!page) return FALSE;
    RECT rect;
    GetWindowRect(page, &rect);
    return MoveWindow(page, 20, 37, rect.right - rect.left, rect.bottom - rect.top,
                      FALSE);
}

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextA(GetDlgItem(page, kPatternEditId),
                           CopyOfCurrentTagPattern().CStr());
            return FALSE;  // the focus stays where the host has it
        case WM_COMMAND:
            if (LOWORD(wParam) == kPatternEditId) StorePatternFromEditBox(page);
            return TRUE;
        default:
            return FALSE;
    }
}
