// A growable array of untyped pointers. The list owns its slot array, never
// the records the pointers refer to: freeing those is the owner's task.
// Capacity grows linearly, growBy slots at a time.
#pragma once

#include <cstdint>

// True when left must come before right.
using LessThan = bool (*)(void* left, void* right);

struct PointerList {
    // Fixed: a step of 0 would let Add store past the slot array.
    const std::int32_t growBy = 8;
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

    // Removes slot index; the later slots move down. The item is not
    // released and the slot array keeps its size. Indices outside the
    // stored slots are ignored.
    void RemoveAt(std::int32_t index);
    // Stores item at index (0 to count; count appends), moving the later
    // slots up. An index outside that range, or an array that cannot grow,
    // leaves the list unchanged.
    void InsertAt(std::int32_t index, void* item);
    // Quicksorts slots first to last (inclusive) in place: middle item as
    // pivot, two-index partition. Not stable; equal items end up where the
    // partition puts them. A range outside the stored slots is ignored.
    void Sort(LessThan lessThan, std::int32_t first, std::int32_t last);

private:
    void SortRange(LessThan lessThan, std::int32_t first, std::int32_t last);
};
