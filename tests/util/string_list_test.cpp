#include "util/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const StringList& list) {
    std::vector<std::string> texts;
    for (std::int32_t i = 0; i < list.count; ++i) texts.push_back(list.GetString(i)->Text());
    return texts;
}

void Fill(StringList& list, std::initializer_list<const char*> texts) {
    for (const char* t : texts) list.AddString(t);
}

using Names = std::vector<std::string>;

TEST(StringList, CopiesWhatItIsGivenAndReleasesWhatItRemoves) {
    StringList list;
    HeapString source("two");
    list.AddString("one");
    list.AddString(source);
    source = "changed";
    list.InsertString(0, HeapString("zero"));
    list.InsertString(3, HeapString("three"));
    list.InsertString(9, HeapString("refused"));
    EXPECT_EQ(Texts(list), (Names{"zero", "one", "two", "three"}));
    EXPECT_EQ(list.GetString(4), nullptr);
    EXPECT_EQ(list.GetString(-1), nullptr);

    list.RemoveString(-1);
    list.RemoveString(list.count);
    EXPECT_EQ(list.count, 4);
    list.RemoveString(1);
    EXPECT_EQ(Texts(list), (Names{"zero", "two", "three"}));

    list.DeleteAll();
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.capacity, 0);
    EXPECT_EQ(list.items, nullptr);
    list.AddString("again");
    EXPECT_EQ(Texts(list), (Names{"again"}));
}

TEST(StringList, CopiesTakeTheAssignedCapacity) {
    StringList list;
    HeapString roomy("a long text");
    roomy = "s";
    list.AddString(roomy);
    EXPECT_EQ(list.GetString(0)->Capacity(), 12);
    list.AddString("abc");
    EXPECT_EQ(list.GetString(1)->Capacity(), 4);
}

TEST(StringList, DeleteAllSkipsNullSlots) {
    StringList list;
    list.AddString("a");
    list.Add(nullptr);
    list.AddString("b");
    list.DeleteAll();
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.items, nullptr);
}

TEST(StringList, SortsInTheDocumentedOrders) {
    StringList list;
    list.SortStrings(false);
    EXPECT_EQ(list.count, 0);
    list.AddString("only");
    list.SortStrings(true);
    EXPECT_EQ(Texts(list), (Names{"only"}));
    list.DeleteAll();

    Fill(list, {"b", "B", "a", "A"});
    list.SortStrings(false);
    EXPECT_EQ(Texts(list), (Names{"A", "B", "a", "b"}));
    list.DeleteAll();

    Fill(list, {"b", "B", "a", "A"});
    list.SortStrings(true);
    EXPECT_EQ(Texts(list), (Names{"a", "A", "b", "B"}));
    list.DeleteAll();

    Fill(list, {"B", "b", "A", "a"});
    list.SortStrings(true);
    EXPECT_EQ(Texts(list), (Names{"A", "a", "B", "b"}));
}

TEST(StringList, CaseInsensitiveOrderLowersLettersOnly) {
    StringList list;
    Fill(list, {"b", "_x", "A", "Zed", "\xE9t\xE9", "abc"});
    list.SortStrings(true);
    EXPECT_EQ(Texts(list), (Names{"_x", "A", "abc", "b", "Zed", "\xE9t\xE9"}))
        << "the underscore (95) comes before the lowered letters";
    list.SortStrings(false);
    EXPECT_EQ(Texts(list), (Names{"A", "Zed", "_x", "abc", "b", "\xE9t\xE9"}));
    EXPECT_LT(CompareIgnoringCase("ABC", "abd"), 0);
    EXPECT_EQ(CompareIgnoringCase("MiXeD", "mixed"), 0);
    EXPECT_GT(CompareIgnoringCase("ab", "A"), 0);
}

}  // namespace
