// Fixed-capacity, always-terminated single-byte texts.
//
// Every text buffer of the module (paths, tag values, registry strings) has a
// fixed capacity inherited from the platform's 260-character path limit.
// Truncation is decided here and nowhere else: an oversized input keeps its
// first capacity-1 characters and is always terminated. Writers report whether
// the whole input fitted, and the compiler holds every caller to decide: a
// text that names something to act on refuses the action when cut; one that
// is only shown or compared may be cut, and says so where it is.
#pragma once

#include <cstddef>
#include <cstring>

// The platform's path limit, terminator included.
constexpr std::size_t kMaxPathText = 260;

// Copies up to sourceLength characters of source into out (capacity bytes,
// terminator included) and terminates it. Returns true when nothing was cut.
// A capacity of 0 writes nothing and reports the cut. source may overlap out.
[[nodiscard]] inline bool BoundedCopy(char* out, std::size_t capacity, const char* source,
                        std::size_t sourceLength) {
    if (capacity == 0) return false;
    const bool fits = sourceLength < capacity;
    const std::size_t n = fits ? sourceLength : capacity - 1;
    if (n > 0) std::memmove(out, source, n);
    out[n] = '\0';
    return fits;
}

// The same for a text that is only shown or compared, where a cut is
// acceptable: a caller that chooses this says so at the call.
inline void BoundedCopyOrCut(char* out, std::size_t capacity, const char* source,
                             std::size_t sourceLength) {
    static_cast<void>(BoundedCopy(out, capacity, source, sourceLength));
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

    [[nodiscard]] bool Assign(const char* source) {
        return Assign(source, source ? std::strlen(source) : 0);
    }
    [[nodiscard]] bool Assign(const char* source, std::size_t length) {
        return BoundedCopy(text_, Capacity, source, length);
    }
    [[nodiscard]] bool Append(const char* source) {
        return Append(source, source ? std::strlen(source) : 0);
    }
    [[nodiscard]] bool Append(const char* source, std::size_t length) {
        // Length() < Capacity always; said here for the compiler's sake.
        const std::size_t used = BoundedLength(text_, Capacity - 1);
        return BoundedCopy(text_ + used, Capacity - used, source, length);
    }
    [[nodiscard]] bool Append(char c) { return Append(&c, 1); }

    // The same for a text that is only shown or compared, where a cut is
    // acceptable: a caller that chooses these says so at the call.
    void AssignOrCut(const char* source) { static_cast<void>(Assign(source)); }
    void AssignOrCut(const char* source, std::size_t length) {
        static_cast<void>(Assign(source, length));
    }
    void AppendOrCut(const char* source) { static_cast<void>(Append(source)); }
    void AppendOrCut(const char* source, std::size_t length) {
        static_cast<void>(Append(source, length));
    }
    void AppendOrCut(char c) { static_cast<void>(Append(c)); }

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
