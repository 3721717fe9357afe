#include "util/text_lines.h"

#include <cstring>

char* GetLine(std::int32_t index, const char* text) {
    if (text == nullptr || index < 0) return nullptr;
    const char* line = text;
    for (std::int32_t number = 0; *line != '\0'; ++number) {
        const char* end = std::strchr(line, '\r');
        if (end == nullptr) end = line + std::strlen(line);
        if (number == index) {
            const std::size_t length = static_cast<std::size_t>(end - line);
            char* copy = new char[length + 1];
            std::memcpy(copy, line, length);
            copy[length] = '\0';
            return copy;
        }
        if (*end == '\0') return nullptr;
        line = end + 1;
        while (*line == '\n') ++line;
    }
    return nullptr;
}
