#include "util/pointer_list.h"

#include <algorithm>
#include <new>

std::int32_t PointerList::Add(void* item) {
    if (items == nullptr || count == capacity) {
        void** grown = new (std::nothrow) void*[capacity + growBy];
        if (grown == nullptr) return count;
        if (items) std::copy(items, items + capacity, grown);
        delete[] items;
        items = grown;
        capacity += growBy;
    }
    items[count++] = item;
    return count;
}

void PointerList::Clear() {
    delete[] items;
    items = nullptr;
    count = 0;
    capacity = 0;
}

void PointerList::RemoveAt(std::int32_t index) {
    if (index < 0 || index >= count) return;
    std::copy(items + index + 1, items + count, items + index);
    --count;
}

void PointerList::InsertAt(std::int32_t index, void* item) {
    if (index < 0 || index > count) return;
    const std::int32_t before = count;
    if (Add(nullptr) == before) return;
    std::copy_backward(items + index, items + before, items + before + 1);
    items[index] = item;
}

void PointerList::Sort(LessThan lessThan, std::int32_t first,
                       std::int32_t last) {
    if (first < 0 || last >= count) return;
    SortRange(lessThan, first, last);
}

// The two parts left by a partition are independent, so sorting the smaller
// one by recursion and the larger one in the loop gives the same order as
// sorting them left then right, with a stack depth that stays logarithmic.
void PointerList::SortRange(LessThan lessThan, std::int32_t first,
                            std::int32_t last) {
    while (first < last) {
        void* const pivot = items[first + (last - first) / 2];
        std::int32_t i = first;
        std::int32_t j = last;
        for (;;) {
            while (lessThan(items[i], pivot) && i < last) ++i;
            while (lessThan(pivot, items[j]) && j > first) --j;
            if (i > j) break;
            std::swap(items[i], items[j]);
            ++i;
            --j;
            if (i > j) break;
        }
        if (j - first < last - i) {
            if (first < j) SortRange(lessThan, first, j);
            first = i;
        } else {
            if (i < last) SortRange(lessThan, i, last);
            last = j;
        }
    }
}
