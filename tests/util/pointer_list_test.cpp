#include "util/pointer_list.h"

#include <gtest/gtest.h>

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

}  // namespace
