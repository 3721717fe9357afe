#include "util/string_list.h"

namespace {

bool sortIgnoringCase = false;

bool TextComesFirst(void* left, void* right) {
    const auto* l = static_cast<const HeapString*>(left);
    const char* r = static_cast<const HeapString*>(right)->Text();
    return (sortIgnoringCase ? CompareIgnoringCase(l->Text(), r)
                             : l->Compare(r)) < 0;
}

// Every item is made here, as an empty string that is then assigned: the
// list always holds copies.
template <typename Text>
HeapString* CopyOf(const Text& text) {
    auto* copy = new HeapString;
    *copy = text;
    return copy;
}

}  // namespace

void StringList::AddString(const HeapString& text) { Store(count, CopyOf(text)); }

void StringList::AddString(const char* text) { Store(count, CopyOf(text)); }

void StringList::InsertString(std::int32_t index, const HeapString& text) {
    if (index < 0 || index > count) return;
    Store(index, CopyOf(text));
}

// A copy that finds no slot (the array cannot grow) is released at once.
void StringList::Store(std::int32_t index, HeapString* copy) {
    const std::int32_t before = count;
    InsertAt(index, copy);
    if (count == before) delete copy;
}

HeapString* StringList::GetString(std::int32_t index) const {
    if (index < 0 || index >= count) return nullptr;
    return static_cast<HeapString*>(items[index]);
}

void StringList::RemoveString(std::int32_t index) {
    if (index < 0 || index >= count) return;
    delete static_cast<HeapString*>(items[index]);
    RemoveAt(index);
}

void StringList::DeleteAll() {
    for (std::int32_t i = 0; i < count; ++i) delete static_cast<HeapString*>(items[i]);
    Clear();
}

void StringList::SortStrings(bool caseInsensitive) {
    sortIgnoringCase = caseInsensitive;
    Sort(TextComesFirst, 0, count - 1);
}
