#include "hostenv/registry_enumeration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "hostenv/registry_values.h"

namespace {

constexpr char kBase[] = "Software\\PathTaggerTests\\RegistryEnumeration";

std::vector<std::string> Names(const StringList& list) {
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < list.count; ++i) names.push_back(list.GetString(i)->Text());
    return names;
}

class RegistryEnumeration : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
        root_ = std::string(kBase) + "\\" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kBase); }
    void MakeKey(const std::string& below) {
        WriteRegistryDword(1, "v", HKEY_CURRENT_USER, (root_ + below).c_str());
    }
    std::string root_;
};

TEST_F(RegistryEnumeration, ListsSubkeysAndReplacesWhatTheListHeld) {
    MakeKey("\\beta");
    MakeKey("\\Alpha");
    MakeKey("\\gamma\\deeper");
    StringList names;
    names.AddString("stale");
    ASSERT_TRUE(ListRegistrySubkeys(root_.c_str(), names, HKEY_CURRENT_USER));
    std::vector<std::string> listed = Names(names);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    EXPECT_FALSE(ListRegistrySubkeys((root_ + "\\missing").c_str(), names, HKEY_CURRENT_USER));
    EXPECT_EQ(names.count, 0);
}

TEST_F(RegistryEnumeration, ListsValuesWithTheirTypes) {
    WriteRegistryDword(7, "number", HKEY_CURRENT_USER, root_.c_str());
    WriteRegistryString("x", "text", HKEY_CURRENT_USER, root_.c_str());
    WriteRegistryBytes("blob", "ab", 2, HKEY_CURRENT_USER, root_.c_str());
    StringList names;
    PointerList types;
    types.Add(nullptr);
    ASSERT_TRUE(ListRegistryValues(root_.c_str(), names, &types, HKEY_CURRENT_USER));
    ASSERT_EQ(names.count, 3);
    ASSERT_EQ(types.count, 3);
    for (std::int32_t i = 0; i < names.count; ++i) {
        const std::string name = names.GetString(i)->Text();
        const auto type = DWORD(reinterpret_cast<std::uintptr_t>(types.items[i]));
        EXPECT_EQ(type, name == "number" ? DWORD(REG_DWORD)
                        : name == "text" ? DWORD(REG_SZ) : DWORD(REG_BINARY)) << name;
    }
    ASSERT_TRUE(ListRegistryValues(root_.c_str(), names, nullptr, HKEY_CURRENT_USER));
    EXPECT_EQ(names.count, 3);
}

TEST_F(RegistryEnumeration, ANameTooLongForTheBufferEndsTheListing) {
    const std::string longName(300, 'n');
    WriteRegistryString("1", "first", HKEY_CURRENT_USER, root_.c_str());
    WriteRegistryString("2", longName.c_str(), HKEY_CURRENT_USER, root_.c_str());
    WriteRegistryString("3", "third", HKEY_CURRENT_USER, root_.c_str());
    // The expected names are those the platform enumerates before the long one.
    std::vector<std::string> before;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, root_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0) break;
        if (name == longName) break;
        before.push_back(name);
    }
    RegCloseKey(key);
    ASSERT_LT(before.size(), 3u);
    StringList names;
    ASSERT_TRUE(ListRegistryValues(root_.c_str(), names, nullptr, HKEY_CURRENT_USER));
    EXPECT_EQ(Names(names), before);
}

TEST_F(RegistryEnumeration, DeletesATreeTwoLevelsDeep) {
    MakeKey("\\top\\a\\a1");
    MakeKey("\\top\\a\\a2");
    MakeKey("\\top\\b\\b1");
    MakeKey("\\top\\c");
    MakeKey("\\sibling");
    // The platform refuses to delete a key that still has subkeys, so the
    // tree only goes when the walk deletes the deepest keys first.
    DeleteRegistryKey(HKEY_CURRENT_USER, root_.c_str(), "top");
    ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, (root_ + "\\top\\a").c_str()));
    DeleteRegistryTree(HKEY_CURRENT_USER, root_.c_str(), "top");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, (root_ + "\\top").c_str()));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, (root_ + "\\sibling").c_str()));

    DeleteRegistryTree(HKEY_CURRENT_USER, root_.c_str(), "absent");
    DeleteRegistryTree(HKEY_CURRENT_USER, (root_ + "\\").c_str(), "sibling");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, (root_ + "\\sibling").c_str()));
}

TEST_F(RegistryEnumeration, AnOverlongPathRefusesTheWholeDeletion) {
    // The parent is 260 characters with a backslash at index 258: cut to the
    // 259 characters a path text holds, it would name the ancestor before
    // that backslash, whose other keys and values must survive.
    const std::string ancestor = root_ + "\\" + std::string(258 - root_.size() - 1, 'a');
    const std::string parent = ancestor + "\\r";
    ASSERT_EQ(parent.size(), 260u);
    ASSERT_EQ(parent[258], '\\');
    HKEY ancestorKey, key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ancestor.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &ancestorKey, nullptr), ERROR_SUCCESS);
    for (const char* below : {"r", "other\\deeper"}) {
        ASSERT_EQ(RegCreateKeyExA(ancestorKey, below, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // Beside the refused key, by a path relative to the ancestor: by its full
    // path of 264 characters neither the library nor the platform reaches it.
    const DWORD kept = 1;
    ASSERT_EQ(RegSetKeyValueA(ancestorKey, "other", "kept", REG_DWORD, &kept, sizeof kept),
              ERROR_SUCCESS);

    DeleteRegistryTree(HKEY_CURRENT_USER, parent.c_str(), "");

    for (const char* below : {"other\\deeper", "r"}) {
        EXPECT_EQ(RegOpenKeyExA(ancestorKey, below, 0, KEY_READ, &key), ERROR_SUCCESS) << below;
        RegCloseKey(key);
    }
    DWORD read = 0, size = sizeof read;
    EXPECT_EQ(RegGetValueA(ancestorKey, "other", "kept", RRF_RT_REG_DWORD, nullptr, &read, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, kept);
    RegCloseKey(ancestorKey);
}

}  // namespace
