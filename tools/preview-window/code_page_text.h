// Texts between the system's code page, in which the host and the plugin
// see paths, and the wide characters in which the window reads folders and
// draws cells.
#pragma once

#include <string>

std::wstring WideFromCodePage(const std::string& text);

// The text as the host, a code-page program, receives it; exact is false
// where a character had no counterpart and became "?".
std::string InCodePage(const std::wstring& text, bool& exact);
