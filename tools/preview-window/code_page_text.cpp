#include "tools/preview-window/code_page_text.h"

#include <windows.h>

std::wstring WideFromCodePage(const std::string& text) {
    if (text.empty()) return L"";
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), size);
    return wide;
}

std::string InCodePage(const std::wstring& text, bool& exact) {
    exact = true;
    if (text.empty()) return "";
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                                         int(text.size()), nullptr, 0, nullptr, &defaulted);
    std::string out(std::size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), out.data(),
                        size, nullptr, &defaulted);
    exact = !defaulted;
    return out;
}
