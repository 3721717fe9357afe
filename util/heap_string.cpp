#include "util/heap_string.h"

#include <cstring>

namespace {

std::int32_t TextLength(const char* text) {
    return text ? static_cast<std::int32_t>(std::strlen(text)) : 0;
}

}  // namespace

HeapString::HeapString() : text_(new char[1]), capacity_(1) { text_[0] = '\0'; }

HeapString::HeapString(const char* text) : HeapString() { *this = text; }

HeapString::HeapString(const HeapString& other)
    : text_(new char[other.capacity_]), capacity_(other.capacity_) {
    std::memcpy(text_, other.text_, other.Length() + 1);
}

HeapString::HeapString(const char* left, const char* right) {
    const std::int32_t leftLength = TextLength(left);
    const std::int32_t rightLength = TextLength(right);
    capacity_ = leftLength + rightLength + 1;
    text_ = new char[capacity_];
    std::memcpy(text_, left, leftLength);
    std::memcpy(text_ + leftLength, right, rightLength);
    text_[leftLength + rightLength] = '\0';
}

HeapString::~HeapString() { delete[] text_; }

void HeapString::Reserve(std::int32_t size) {
    if (size <= capacity_) return;
    delete[] text_;
    text_ = new char[size];
    capacity_ = size;
}

HeapString& HeapString::operator=(const HeapString& source) {
    if (this == &source) return *this;
    Reserve(source.capacity_);
    std::memcpy(text_, source.text_, source.Length() + 1);
    return *this;
}

// The text may lie inside this string's own allocation (a suffix of it):
// it then fits, nothing is reallocated, and the overlapping move is safe.
HeapString& HeapString::operator=(const char* text) {
    const std::int32_t length = TextLength(text);
    Reserve(length + 1);
    std::memmove(text_, text ? text : "", length);
    text_[length] = '\0';
    return *this;
}

std::int32_t HeapString::Compare(const char* other) const {
    const int order = std::strcmp(text_, other ? other : "");
    return (order > 0) - (order < 0);
}

std::int32_t HeapString::Length() const { return TextLength(text_); }
