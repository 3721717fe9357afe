// Fixed-capacity, always-terminated single-byte texts.
//
// Every text buffer of the module (paths, tag values, registry strings) has a
// fixed capacity inherited from the platform's 260-character path limit.
// Truncation is decided here and nowhere else: an oversized input keeps its
// first capacity-1 characters and is always terminated. Writers report whether
// the whole input fitted, so callers that must refuse rather than cut can.
#pragma once

#include <cstddef>
#include <cstring>

// The platform's path limit, terminator included.
constexpr std::size_t kMaxPathText = 260;

// Copies up to sourceLength characters of source into out (capacity bytes,
// terminator included) and terminates it. Returns true when nothing was cut.
// A capacity of 0 writes nothing and reports the cut. source may overlap out.
inline bool BoundedCopy(char* out, std::size_t capacity, const char* source,
                        std::size_t sourceLength) {
    if (capacity == 0) return false;
    const bool fits = sourceLength < capacity;
    const std::size_t n = fits ? sourceLength : capacity - 1;
    if (n > 0) std::memmove(out, source, n);
    out[n] = '\0';
    return fits;
}

// Length of a text that may lack its terminator within capacity bytes.
inline std::size_t BoundedLength(const char* text, std::size_t capacity) {
    const void* nul = std::memchr(text, '\0', capacity);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text)
               : capacity;
}

template <std::size_t Capacity>
class FixedText {
    static_assert(Capacity > 0, "a text needs room for its terminator");

public:
    static constexpr std::size_t kCapacity = Capacity;
    static constexpr std::size_t kMaxLength = Capacity - 1;

    FixedText() { text_[0] = '\0'; }
    explicit FixedText(const char* source) { Assign(source); }

    bool Assign(const char* source) {
        return Assign(source, source ? std::strlen(source) : 0);
    }
    bool Assign(const char* source, std::size_t length) {
        return BoundedCopy(text_, Capacity, source, length);
    }
    bool Append(const char* source) {
        return Append(source, source ? std::strlen(source) : 0);
    }
    bool Append(const char* source, std::size_t length) {
        // Length() < Capacity always; said here for the compiler's sake.
        const std::size_t used = BoundedLength(text_, Capacity - 1);
        return BoundedCopy(text_ + used, Capacity - used, source, length);
    }
    bool Append(char c) { return Append(&c, 1); }

    void Clear() { text_[0] = '\0'; }
    // Cuts the text to at most length characters.
    void Truncate(std::size_t length) {
        if (length < Length()) text_[length] = '\0';
    }
    // For platform calls that fill the buffer themselves and may leave it
    // unterminated: puts a terminator at the last byte.
    void Terminate() { text_[Capacity - 1] = '\0'; }
    // For platform and plugin calls that may write a text without its
    // terminator: zeroes the whole buffer first, so whatever they write ends
    // within it and carries nothing left over.
    void Wipe() { std::memset(text_, 0, Capacity); }

    std::size_t Length() const { return std::strlen(text_); }
    bool Empty() const { return text_[0] == '\0'; }
    char Last() const {
        const std::size_t n = Length();
        return n ? text_[n - 1] : '\0';
    }
    const char* CStr() const { return text_; }
    char* Data() { return text_; }
    bool operator==(const char* other) const {
        return std::strcmp(text_, other) == 0;
    }

private:
    char text_[Capacity];
};

// A text that holds one path, or any other value bounded by the path limit.
using PathText = FixedText<kMaxPathText>;
