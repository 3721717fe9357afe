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
