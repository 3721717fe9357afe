#include "util/pointer_list.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

namespace {

TEST(PointerList, GrowsEightSlotsAtATimeKeepingOrder) {
    PointerList list;
    EXPECT_EQ(list.growBy, 8);
    EXPECT_EQ(list.items, nullptr);
    int records[17];
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list.Add(&records[i]), i + 1);
    EXPECT_EQ(list.capacity, 8);
    list.Add(&records[8]);
    EXPECT_EQ(list.capacity, 16);
    for (int i = 9; i < 17; ++i) list.Add(&records[i]);
    EXPECT_EQ(list.capacity, 24);
    ASSERT_EQ(list.count, 17);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(list.items[i], &records[i]);

    list.Clear();
    EXPECT_EQ(list.items, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.capacity, 0);
    EXPECT_EQ(list.growBy, 8);
    EXPECT_EQ(list.Add(nullptr), 1) << "null items are stored like any other";
}

TEST(PointerList, GrowthStepCannotBeChanged) {
    // A step of 0 would make Add write past the slot array.
    using GrowBy = decltype((std::declval<PointerList&>().growBy));
    EXPECT_FALSE((std::is_assignable_v<GrowBy, std::int32_t>));
}

}  // namespace

namespace {

bool IntLess(void* left, void* right) {
    return *static_cast<int*>(left) < *static_cast<int*>(right);
}

TEST(PointerList, RemoveAtShiftsDownAndIgnoresOutsideIndices) {
    PointerList list;
    int records[5];
    for (int& r : records) list.Add(&r);
    list.RemoveAt(-1);
    list.RemoveAt(5);
    EXPECT_EQ(list.count, 5);
    list.RemoveAt(1);
    ASSERT_EQ(list.count, 4);
    EXPECT_EQ(list.capacity, 8);
    EXPECT_EQ(list.items[0], &records[0]);
    EXPECT_EQ(list.items[1], &records[2]);
    EXPECT_EQ(list.items[3], &records[4]);
    list.RemoveAt(3);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.items[2], &records[3]);
}

TEST(PointerList, InsertAtGrowsAFullListAndShiftsUp) {
    PointerList list;
    int records[10];
    for (int i = 0; i < 8; ++i) list.Add(&records[i]);
    list.InsertAt(0, &records[8]);
    ASSERT_EQ(list.count, 9);
    EXPECT_EQ(list.capacity, 16);
    EXPECT_EQ(list.items[0], &records[8]);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list.items[i + 1], &records[i]);
    list.InsertAt(list.count, &records[9]);
    EXPECT_EQ(list.items[9], &records[9]) << "index count appends";
    list.InsertAt(11, &records[0]);
    list.InsertAt(-1, &records[0]);
    EXPECT_EQ(list.count, 10) << "indices beyond the list are refused";

    PointerList empty;
    empty.InsertAt(0, &records[3]);
    ASSERT_EQ(empty.count, 1);
    EXPECT_EQ(empty.items[0], &records[3]);
}

TEST(PointerList, SortOrdersTheRangeOnlyAndIgnoresABadRange) {
    int values[] = {5, 3, 9, 1, 7, 3, 0, 8};
    PointerList list;
    for (int& v : values) list.Add(&v);
    list.Sort(IntLess, 1, 6);
    const int expected[] = {5, 0, 1, 3, 3, 7, 9, 8};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(*static_cast<int*>(list.items[i]), expected[i]);
    list.Sort(IntLess, 0, 8);
    list.Sort(IntLess, -1, 3);
    EXPECT_EQ(*static_cast<int*>(list.items[0]), 5) << "a range beyond the slots is ignored";
}

TEST(PointerList, SortHandlesLongOrderedAndConstantRuns) {
    constexpr int kCount = 20000;
    std::vector<int> values(kCount);
    for (int i = 0; i < kCount; ++i) values[i] = (i * 7919) % 1000;
    PointerList list;
    for (int& v : values) list.Add(&v);
    list.Sort(IntLess, 0, list.count - 1);
    for (int i = 1; i < kCount; ++i)
        ASSERT_LE(*static_cast<int*>(list.items[i - 1]), *static_cast<int*>(list.items[i]));
    list.Sort(IntLess, 0, list.count - 1);  // already sorted input
    for (int i = 1; i < kCount; ++i)
        ASSERT_LE(*static_cast<int*>(list.items[i - 1]), *static_cast<int*>(list.items[i]));
}

}  // namespace
