// Splitting one fuzz input into the texts a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bytes up to the first newline, and the rest; each ends at its first NUL,
// as a C string would.
struct TwoTexts {
    std::string first;
    std::string second;
};

inline std::string UpToNul(std::string text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

inline TwoTexts SplitAtNewline(const std::uint8_t* data, std::size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = all.find('\n');
    if (newline == std::string::npos) return {UpToNul(all), ""};
    return {UpToNul(all.substr(0, newline)), UpToNul(all.substr(newline + 1))};
}

#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) __builtin_trap(); \
    } while (0)
