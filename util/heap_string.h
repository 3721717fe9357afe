// An owned, heap-allocated single-byte string that knows the size of its
// allocation. The allocation only grows, and only to an exact size: copies
// take over the source's capacity, assignment reallocates only when the new
// text does not fit.
#pragma once

#include <cstdint>

class HeapString {
public:
    HeapString();
    HeapString(const char* text);  // a null text gives the empty string
    HeapString(const HeapString& other);
    ~HeapString();

    HeapString& operator=(const HeapString& source);
    HeapString& operator=(const char* text);

    // Byte-wise, case-sensitive comparison of unsigned bytes up to the
    // terminator: exactly -1, 0 or 1. A prefix is smaller than the longer
    // text.
    std::int32_t Compare(const char* other) const;
    std::int32_t Compare(const HeapString& other) const {
        return Compare(other.text_);
    }

    std::int32_t Length() const;
    std::int32_t Capacity() const { return capacity_; }
    const char* Text() const { return text_; }

private:
    HeapString(const char* left, const char* right);  // concatenation
    // Makes room for size bytes, terminator included, keeping a larger
    // allocation; the old text is lost when the allocation is replaced.
    void Reserve(std::int32_t size);

    char* text_;
    std::int32_t capacity_;

    friend HeapString operator+(const HeapString& l, const HeapString& r) {
        return HeapString(l.text_, r.text_);
    }
    friend HeapString operator+(const HeapString& l, const char* r) {
        return HeapString(l.text_, r);
    }
    friend HeapString operator+(const char* l, const HeapString& r) {
        return HeapString(l, r.text_);
    }
};

template <typename Other>
bool operator==(const HeapString& l, const Other& r) { return l.Compare(r) == 0; }
template <typename Other>
bool operator<(const HeapString& l, const Other& r) { return l.Compare(r) < 0; }
template <typename Other>
bool operator>(const HeapString& l, const Other& r) { return l.Compare(r) > 0; }
template <typename Other>
bool operator<=(const HeapString& l, const Other& r) { return l.Compare(r) <= 0; }
template <typename Other>
bool operator>=(const HeapString& l, const Other& r) { return l.Compare(r) >= 0; }
