// A pointer list whose items are heap strings owned by the list: it copies
// what it is given and releases what it removes. Items are reached through
// GetString; the number of items is the count field.
#pragma once

#include <cstdint>

#include "util/heap_string.h"
#include "util/pointer_list.h"

// Case-insensitive comparison: letters are lowered (in the Win32 build as
// the C run-time's current locale says, in the "C" locale only A-Z;
// elsewhere always the "C" locale's rule), then the bytes are compared as
// unsigned values, on every run-time. The sign of the result is what counts.
int CompareIgnoringCase(const char* left, const char* right);

struct StringList : PointerList {
    StringList() = default;
    ~StringList() { DeleteAll(); }

    void AddString(const HeapString& text);
    void AddString(const char* text);
    // 0 <= index <= count; other indices are ignored.
    void InsertString(std::int32_t index, const HeapString& text);
    // The string at index, still owned by the list; null outside the items.
    HeapString* GetString(std::int32_t index) const;
    // Releases the string at index and removes its slot; other indices are
    // ignored.
    void RemoveString(std::int32_t index);
    // Releases every string and the slot array; the list can be reused.
    void DeleteAll();
    // Sorts all items with PointerList::Sort. The case rule lives in one
    // process-wide setting read by the comparison, so two sorts must not run
    // on different threads at once.
    void SortStrings(bool caseInsensitive);

private:
    void Store(std::int32_t index, HeapString* copy);
};
