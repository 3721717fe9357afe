// A growable array of untyped pointers. The list owns its slot array, never
// the records the pointers refer to: freeing those is the owner's task.
// Capacity grows linearly, growBy slots at a time.
#pragma once

#include <cstdint>

struct PointerList {
    std::int32_t growBy = 8;
    std::int32_t capacity = 0;
    std::int32_t count = 0;
    void** items = nullptr;  // none until the first Add, and after Clear

    PointerList() = default;
    ~PointerList() { Clear(); }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    // Appends item and returns the new count. When the slot array cannot grow
    // the item is not stored and the count stays as it was.
    std::int32_t Add(void* item);
    // Releases the slot array; count and capacity become 0.
    void Clear();
};
