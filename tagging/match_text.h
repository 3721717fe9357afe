// The matcher's working texts and the operations that consume them from
// their ends. Inline, since the matcher's inner loops are made of them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "util/fixed_text.h"

// Working copies hold twice the path limit, so nothing the inputs can hold
// ever reaches their end.
constexpr std::size_t kMatchTextCapacity = 2 * kMaxPathText;

// The length of text[0, length) up to and including its last c; 0 without
// one. Values and the searches of the numeric pre-pass run over most of a
// name, so eight characters are tested at a time: a block's bytes equal to c
// become zero bytes, each marked by its top bit, and the highest mark is the
// last c. Only a start shorter than a block is searched one by one.
inline std::size_t LengthThroughLast(const char* text, std::size_t length, char c) {
    static_assert(std::endian::native == std::endian::little,
                  "a block's last character is its most significant byte");
    constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t spread = 0x0101010101010101ull * static_cast<unsigned char>(c);
    for (; length >= 8; length -= 8) {
        std::uint64_t block;
        std::memcpy(&block, text + length - 8, 8);
        const std::uint64_t zeroWhereC = block ^ spread;
        const std::uint64_t marks =
            ~(((zeroWhereC & kLowBits) + kLowBits) | zeroWhereC | kLowBits);
        if (marks) return length - std::size_t(std::countl_zero(marks) / 8);
    }
    while (length > 0 && text[length - 1] != c) --length;
    return length;
}

// A working text consumed from its end. During the main pass only `length`
// shrinks; the characters past it never change. That is what lets the value
// collected from the name be a plain range of it: the characters from the
// name's length up to where the value ends.
struct MatchText {
    char chars[kMatchTextCapacity];
    std::size_t length = 0;

    void Load(const char* text, std::size_t n) {
        std::memcpy(chars, text, n);
        length = n;
    }
    bool Empty() const { return length == 0; }
    // The NUL character for an empty text.
    char LastChar() const { return length ? chars[length - 1] : '\0'; }
    // An empty text stays empty.
    void DropLastChar() {
        if (length) --length;
    }
    void Erase(std::size_t at, std::size_t count) {
        std::memmove(chars + at, chars + at + count, length - at - count);
        length -= count;
    }
};

// Puts the name's last character in front of the value collected from it
// and removes it from the name: as the value begins where the name ends,
// moving the name's end back one does both.
inline void PrependLastChar(MatchText& name) { name.DropLastChar(); }

// PrependLastChar until the name ends with c or is empty, a block of
// characters at a time.
inline void PrependUntil(MatchText& name, char c) {
    name.length = LengthThroughLast(name.chars, name.length, c);
}
