#include "hostenv/registry_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every test works below a key of its own, removed before and after.
class RegistryValues : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        key_ = std::string("Software\\PathTaggerTests\\RegistryValues\\") + info->name();
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        SetRegistryDefaults(nullptr, "");
    }
    const char* Key() const { return key_.c_str(); }

    std::string KeyClass() const {
        HKEY key;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key(), 0, KEY_READ, &key), ERROR_SUCCESS);
        char keyClass[64] = "";
        DWORD size = sizeof keyClass;
        RegQueryInfoKeyA(key, keyClass, &size, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return keyClass;
    }
    // The stored type and bytes of a value, read behind the helpers' back.
    std::vector<unsigned char> Raw(const char* name, DWORD* type) const {
        std::vector<unsigned char> data(1024);
        DWORD size = DWORD(data.size());
        const LONG status = RegGetValueA(HKEY_CURRENT_USER, Key(), name, RRF_RT_ANY |
                                         RRF_NOEXPAND, type, data.data(), &size);
        EXPECT_EQ(status, ERROR_SUCCESS) << name;
        data.resize(status == ERROR_SUCCESS ? size : 0);
        return data;
    }
    void StoreRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Key(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::string key_;
};

std::string ReadString(const char* name, HKEY root, const char* subkey,
                       DWORD size = 260) {
    std::vector<char> out(size, 'x');
    ReadRegistryString(out.data(), size, name, root, subkey);
    EXPECT_NE(std::find(out.begin(), out.end(), '\0'), out.end()) << "unterminated";
    return std::string(out.data(), strnlen(out.data(), size));
}

TEST_F(RegistryValues, MissingKeyReadsEmptyAndIsCreatedWithItsClass) {
    EXPECT_EQ(ReadString("Pattern", HKEY_CURRENT_USER, Key()), "");
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Key()));
    EXPECT_EQ(KeyClass(), "REG_SZ");
    EXPECT_FALSE(RegistryValueExists("Pattern", HKEY_CURRENT_USER, Key()));
}

TEST_F(RegistryValues, DwordKeyClassAndMissingValues) {
    EXPECT_EQ(ReadRegistryDword("Count", HKEY_CURRENT_USER, Key()), 0u);
    EXPECT_EQ(KeyClass(), "REG_DWORD");
    EXPECT_EQ(WriteRegistryDword(0xDEADBEEF, "Count", HKEY_CURRENT_USER, Key()), ERROR_SUCCESS);
    EXPECT_EQ(ReadRegistryDword("Count", HKEY_CURRENT_USER, Key()), 0xDEADBEEFu);
    DWORD type = 0;
    EXPECT_EQ(Raw("Count", &type).size(), 4u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    StoreRaw("Long", REG_BINARY, "12345", 5);
    EXPECT_EQ(ReadRegistryDword("Long", HKEY_CURRENT_USER, Key()), 0u);
    StoreRaw("Short", REG_BINARY, "\x01\x02", 2);
    EXPECT_EQ(ReadRegistryDword("Short", HKEY_CURRENT_USER, Key()), 0x0201u)
        << "raw bytes over a zeroed result";
}

TEST_F(RegistryValues, StringLimits) {
    const std::string fits(259, 'p');
    EXPECT_EQ(WriteRegistryString(fits.c_str(), "Text", HKEY_CURRENT_USER, Key()),
              ERROR_SUCCESS);
    EXPECT_EQ(ReadString("Text", HKEY_CURRENT_USER, Key()), fits);
    DWORD type = 0;
    EXPECT_EQ(Raw("Text", &type).size(), 260u);
    EXPECT_EQ(type, DWORD(REG_SZ));

    const std::string tooLong(260, 'q');
    WriteRegistryString(tooLong.c_str(), "Text", HKEY_CURRENT_USER, Key());
    EXPECT_EQ(ReadString("Text", HKEY_CURRENT_USER, Key()), "");

    WriteRegistryString("", "Empty", HKEY_CURRENT_USER, Key());
    EXPECT_EQ(Raw("Empty", &type).size(), 1u) << "an empty text stores its terminator";
    EXPECT_EQ(ReadString("Empty", HKEY_CURRENT_USER, Key()), "");
}

TEST_F(RegistryValues, UnterminatedStoredTextStillEndsInTheBuffer) {
    const std::string data259(259, 'u');
    StoreRaw("NoNul", REG_SZ, data259.data(), 259);
    EXPECT_EQ(ReadString("NoNul", HKEY_CURRENT_USER, Key()), data259);
    const std::string data260(260, 'v');
    StoreRaw("NoNul", REG_SZ, data260.data(), 260);
    EXPECT_EQ(ReadString("NoNul", HKEY_CURRENT_USER, Key()), "");
    StoreRaw("Bin", REG_BINARY, "abc", 3);
    EXPECT_EQ(ReadString("Bin", HKEY_CURRENT_USER, Key(), 4), "abc")
        << "the stored type is not examined";
    EXPECT_EQ(ReadString("Bin", HKEY_CURRENT_USER, Key(), 3), "");
}

// One opening for several values: the same rules as the single reads, and a
// missing key reads as missing values without being made.
TEST_F(RegistryValues, AReaderReadsSeveralValuesByTheSameRules) {
    {
        const RegistryValueReader missing(HKEY_CURRENT_USER, Key());
        char text[8] = "x";
        missing.ReadString(text, sizeof text, "Text");
        EXPECT_STREQ(text, "");
        EXPECT_EQ(missing.ReadDword("Count"), 0u);
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Key()));

    WriteRegistryString("1234567", "Fits", HKEY_CURRENT_USER, Key());
    WriteRegistryString("12345678", "TooLong", HKEY_CURRENT_USER, Key());
    StoreRaw("NoNul", REG_SZ, "abc", 3);
    WriteRegistryDword(7, "Count", HKEY_CURRENT_USER, Key());
    StoreRaw("Long", REG_BINARY, "12345", 5);
    const RegistryValueReader key(HKEY_CURRENT_USER, Key());
    for (const char* name : {"Fits", "TooLong", "NoNul", "Missing"}) {
        char text[8] = "x";
        char single[8] = "x";
        key.ReadString(text, sizeof text, name);
        ReadRegistryString(single, sizeof single, name, HKEY_CURRENT_USER, Key());
        EXPECT_STREQ(text, single) << name;
    }
    EXPECT_EQ(key.ReadDword("Count"), 7u);
    EXPECT_EQ(key.ReadDword("Long"), 0u);
    EXPECT_EQ(key.ReadDword("Missing"), 0u);
}

TEST_F(RegistryValues, FloatsAreFourBinaryBytes) {
    EXPECT_EQ(WriteRegistryFloat(1.0f, "Gain", HKEY_CURRENT_USER, Key()), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(Raw("Gain", &type), (std::vector<unsigned char>{0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(ReadRegistryFloat("Gain", HKEY_CURRENT_USER, Key()), 1.0f);
    EXPECT_EQ(ReadRegistryFloat("Missing", HKEY_CURRENT_USER, Key()), 0.0f);
    StoreRaw("Big", REG_BINARY, "123456789", 9);
    EXPECT_EQ(ReadRegistryFloat("Big", HKEY_CURRENT_USER, Key()), 0.0f);
}

TEST_F(RegistryValues, BytesAndSizes) {
    const unsigned char data[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(WriteRegistryBytes("Blob", data, 5, HKEY_CURRENT_USER, Key()), ERROR_SUCCESS);
    EXPECT_EQ(KeyClass(), "REG_BINARY");
    DWORD size = 0;
    EXPECT_TRUE(GetRegistryValueSize("Blob", &size, HKEY_CURRENT_USER, Key()));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(GetRegistryValueSize("Missing", &size, HKEY_CURRENT_USER, Key()));
    unsigned char back[8] = {};
    EXPECT_TRUE(ReadRegistryBytes("Blob", back, sizeof back, HKEY_CURRENT_USER, Key()));
    EXPECT_EQ(std::memcmp(back, data, 5), 0);
    unsigned char tooSmall[4] = {9, 9, 9, 9};
    EXPECT_FALSE(ReadRegistryBytes("Blob", tooSmall, 4, HKEY_CURRENT_USER, Key()));
}

TEST_F(RegistryValues, ExistenceTestsCreateNothing) {
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Key()));
    EXPECT_FALSE(RegistryValueExists("Any", HKEY_CURRENT_USER, Key()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Key()));
    WriteRegistryString("x", "Any", HKEY_CURRENT_USER, Key());
    EXPECT_TRUE(RegistryValueExists("Any", HKEY_CURRENT_USER, Key()));
    EXPECT_FALSE(RegistryValueExists("Other", HKEY_CURRENT_USER, Key()));
}

TEST_F(RegistryValues, DefaultsApplyToNullRootAndNullSubkey) {
    SetRegistryDefaults(HKEY_CURRENT_USER, Key());
    WriteRegistryString("via defaults", "Name", nullptr, nullptr);
    EXPECT_EQ(ReadString("Name", HKEY_CURRENT_USER, Key()), "via defaults");
    EXPECT_EQ(ReadString("Name", nullptr, Key()), "via defaults");
    EXPECT_TRUE(RegistryValueExists("Name", HKEY_CURRENT_USER, nullptr));
    EXPECT_EQ(DeleteRegistryValue("Name", nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_FALSE(RegistryValueExists("Name", HKEY_CURRENT_USER, Key()));

    // An empty subkey addresses the root itself.
    HKEY own;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Key(), 0, KEY_ALL_ACCESS, &own), ERROR_SUCCESS);
    WriteRegistryString("at the root", "RootValue", own, "");
    EXPECT_EQ(ReadString("RootValue", HKEY_CURRENT_USER, Key()), "at the root");
    RegCloseKey(own);

    SetRegistryDefaults(nullptr, "");
    EXPECT_NE(WriteRegistryString("x", "Name", nullptr, Key()), ERROR_SUCCESS)
        << "a null root without a default root fails";
    EXPECT_EQ(ReadString("Name", nullptr, Key()), "");
}

TEST_F(RegistryValues, ADefaultSubkeyThatDoesNotFitIsRefused) {
    // 260 characters: cut to 259 it would name the key before its last
    // character, which nothing may write to.
    const std::string tooLong = key_ + "\\" + std::string(260 - key_.size() - 1, 'd');
    const std::string cut = tooLong.substr(0, 259);
    ASSERT_TRUE(SetRegistryDefaults(HKEY_CURRENT_USER, Key()));
    EXPECT_FALSE(SetRegistryDefaults(HKEY_LOCAL_MACHINE, tooLong.c_str()));

    EXPECT_EQ(WriteRegistryString("still the first", "Name", nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(ReadString("Name", HKEY_CURRENT_USER, Key()), "still the first");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, cut.c_str()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, tooLong.c_str()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, cut.c_str()));

    // 259 characters fit.
    EXPECT_TRUE(SetRegistryDefaults(HKEY_CURRENT_USER, cut.c_str()));
    WriteRegistryDword(3, "Fits", nullptr, nullptr);
    EXPECT_EQ(ReadRegistryDword("Fits", HKEY_CURRENT_USER, cut.c_str()), 3u);
}

TEST_F(RegistryValues, Deletions) {
    EXPECT_NE(DeleteRegistryValue("Name", HKEY_CURRENT_USER, Key()), ERROR_SUCCESS);
    EXPECT_NE(DeleteRegistryKey(HKEY_CURRENT_USER, Key(), "Child"), ERROR_SUCCESS);
    const std::string child = key_ + "\\Child";
    WriteRegistryDword(1, "v", HKEY_CURRENT_USER, child.c_str());
    EXPECT_EQ(DeleteRegistryValue("Nope", HKEY_CURRENT_USER, Key()), ERROR_SUCCESS)
        << "the status tells only that the key could be opened";
    EXPECT_EQ(DeleteRegistryKey(HKEY_CURRENT_USER, Key(), "Child"), ERROR_SUCCESS);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, child.c_str()));
}

}  // namespace
