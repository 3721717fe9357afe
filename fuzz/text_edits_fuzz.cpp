// Any text through the file-name cleaning and the escaping helpers: nothing
// grows, nothing runs past the terminator, and escaping a text without
// backslashes comes back unchanged.
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "util/text_edits.h"

namespace {

std::string Edited(void (*edit)(char*), const std::string& text) {
    std::string buffer = text + '\0';
    edit(buffer.data());
    FUZZ_CHECK(std::strlen(buffer.c_str()) <= text.size());
    return buffer.c_str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TwoTexts input = SplitAtNewline(data, size);
    const std::string& text = input.second;

    std::string name = text + '\0';
    StringList from, to;
    for (std::size_t i = 0; i + 1 < input.first.size(); i += 2) {
        from.AddString(input.first.substr(i, 1).c_str());
        to.AddString(input.first.substr(i + 1, 1).c_str());
    }
    SanitiseFileName(name.data(), &from, &to, size % 2 == 0);
    FUZZ_CHECK(std::strlen(name.c_str()) <= text.size());
    SanitiseFileName(name.data(), nullptr, nullptr, false);
    for (const char* bad = "<>?:\\/*|\""; *bad; ++bad) {
        FUZZ_CHECK(std::strchr(name.c_str(), *bad) == nullptr);
    }

    const std::string escaped = Edited(EscapeLineBreaks, text);
    if (text.find('\\') == std::string::npos) {
        FUZZ_CHECK(Edited(UnescapeLineBreaks, escaped) == text);
    }
    Edited([](char* t) { CollapseDoubleBackslashes(t, true); }, text);
    Edited([](char* t) { CollapseDoubleBackslashes(t, false); }, text);
    const std::string tidy = Edited(RemoveSpaceBeforeBackslash, text);
    FUZZ_CHECK(tidy.find(" \\") == std::string::npos);
    return 0;
}
