// The DLL as a file: its export table and its page template.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/support/program_folder.h"

namespace {

HMODULE LoadAsImage() {
    return LoadLibraryExA(PluginDllPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
}

std::set<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        result.insert(reinterpret_cast<const char*>(base + names[i]));
    }
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames)
        << "no export by ordinal only";
    return result;
}

TEST(PluginImage, ExportsExactlyTheNineFunctionsAndTheEntryPoint) {
    HMODULE module = LoadAsImage();
    ASSERT_NE(module, nullptr) << PluginDllPath();
    EXPECT_EQ(ExportedNames(module),
              (std::set<std::string>{
                  "CreateNewCompressionObject", "ANewDataBlockArrived",
                  "DeleteCompressionObject", "GetExtensionYouCreate", "ShowConfigBit",
                  "RemoveConfigBit", "SendRawUnCompressedFiles", "DisableJustOrigFolder",
                  "DisableConvFolderTo", "DllMain"}));
    FreeLibrary(module);
}

// The page template as the table of the page describes it, laid out as a
// standard dialog template.
class TemplateBuilder {
public:
    void Dword(std::uint32_t v) {
        Word(std::uint16_t(v & 0xFFFF));
        Word(std::uint16_t(v >> 16));
    }
    void Word(std::uint16_t v) {
        bytes_.push_back(std::uint8_t(v & 0xFF));
        bytes_.push_back(std::uint8_t(v >> 8));
    }
    void Text(const char* text) {
        for (; *text; ++text) Word(std::uint8_t(*text));
        Word(0);
    }
    void AlignToDword() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    void Control(std::uint16_t classAtom, std::uint16_t id, std::int16_t x,
                 std::int16_t y, std::int16_t cx, std::int16_t cy, std::uint32_t style,
                 const char* text) {
        AlignToDword();
        Dword(style);
        Dword(0);  // extended style
        for (std::int16_t v : {x, y, cx, cy}) Word(std::uint16_t(v));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> ExpectedPageTemplate() {
    constexpr std::uint16_t kEdit = 0x0081, kStatic = 0x0082;
    TemplateBuilder t;
    t.Dword(0x50000040);  // WS_CHILD | WS_VISIBLE | DS_SETFONT
    t.Dword(0);
    t.Word(4);  // controls
    for (std::uint16_t v : {0, 0, 222, 35}) t.Word(v);
    t.Word(0);  // no menu
    t.Word(0);  // default class
    t.Text("");
    t.Word(8);
    t.Text("MS Sans Serif");
    t.Control(kStatic, 0xFFFF, 0, 2, 56, 8, 0x50020000, "Tag Recognition");
    t.Control(kEdit, 1003, 58, 0, 163, 14, 0x50810080, "");
    t.Control(kStatic, 0xFFFF, 60, 15, 152, 8, 0x50020000,
              "[artist]      [track]      [album]      [year]      [genre]");
    t.Control(kStatic, 0xFFFF, 60, 26, 155, 8, 0x50020000,
              "[track number]      example: [album]\\[artist]-[track]");
    return t.Bytes();
}

TEST(PluginImage, PageTemplateIsDialog101InBritishEnglish) {
    HMODULE module = LoadLibraryExA(PluginDllPath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(101),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(
        LockResource(LoadResource(module, found)));
    const std::vector<std::uint8_t> actual(data, data + SizeofResource(module, found));
    const std::vector<std::uint8_t> expected = ExpectedPageTemplate();
    // The resource may carry padding after its last control.
    ASSERT_GE(actual.size(), expected.size());
    EXPECT_LT(actual.size(), expected.size() + 4);
    EXPECT_EQ(std::vector<std::uint8_t>(actual.begin(), actual.begin() + expected.size()),
              expected);
    FreeLibrary(module);
}

}  // namespace
