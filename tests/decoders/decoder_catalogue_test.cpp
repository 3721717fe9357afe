// The catalogue built from this program's own decoder folder, which holds
// every test decoder. Wine enumerates in file-system order, so the expected
// order is read from the folder itself.
#include "decoders/decoder_catalogue.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_folder.h"

namespace {

std::string InputFolder() { return OwnFolderUpperCased() + "Multiplayer\\Input\\"; }

std::vector<std::string> DllsInFolderOrder() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((InputFolder() + "*.dll").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName); while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

struct Declared {
    std::string extension;
    std::string decoder;
};

std::vector<Declared> FormatsOf(const std::string& dll) {
    if (dll == "SharedPlain.dll") return {{".shr", dll}, {".nos", dll}};
    if (dll == "SharedTagging.dll") return {{".shr", dll}};
    if (dll == "Recording.dll") {
        std::vector<Declared> formats;
        for (const char* e : {".ABC", ".low", ".dup", ".dup", ".full", ".third", ".crash", ".throw",
                              ".bare", ".long", ".qq"}) {
            formats.push_back({e, dll});
        }
        return formats;
    }
    if (dll == "Endless.dll") {
        // Its first extension is longer than the catalogue keeps: cut, it
        // would be another extension, so it is left out.
        return std::vector<Declared>(kMaxFormatsPerDecoder - 1, {".endless", dll});
    }
    return {};
}

std::vector<Declared> ExpectedFormats() {
    std::vector<Declared> formats;
    for (const std::string& dll : DllsInFolderOrder()) {
        for (const Declared& d : FormatsOf(dll)) formats.push_back(d);
    }
    return formats;
}

std::string NameOf(const DecoderEntry* decoder) {
    if (decoder == nullptr) return "<none>";
    const std::string path = decoder->path.CStr();
    return path.substr(path.find_last_of('\\') + 1);
}

const DecoderEntry* Decoder(const std::string& name) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    for (int i = 0; i < catalogue->decoders.count; ++i) {
        auto* decoder = static_cast<const DecoderEntry*>(catalogue->decoders.items[i]);
        if (NameOf(decoder) == name) return decoder;
    }
    return nullptr;
}

TEST(DecoderCatalogue, EveryLoadableDllIsListedInFolderOrder) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(GetDecoderCatalogue(), catalogue);
    const std::vector<std::string> dlls = DllsInFolderOrder();
    ASSERT_EQ(dlls.size(), 6u);
    ASSERT_EQ(catalogue->decoders.count, 6);
    for (int i = 0; i < 6; ++i) {
        auto* decoder = static_cast<const DecoderEntry*>(catalogue->decoders.items[i]);
        EXPECT_EQ(decoder->path.CStr(), InputFolder() + dlls[i]);
        EXPECT_EQ(decoder->module, GetModuleHandleA(decoder->path.CStr()));
    }
}

TEST(DecoderCatalogue, EntryPointsAreRecordedOrLeftNull) {
    const DecoderEntry* nothing = Decoder("ExportsNothing.dll");
    ASSERT_NE(nothing, nullptr);
    const auto* slots = reinterpret_cast<void* const*>(&nothing->whatFormats);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(slots[i], nullptr) << i;

    const DecoderEntry* recording = Decoder("Recording.dll");
    ASSERT_NE(recording, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(recording->whatFormats),
              reinterpret_cast<void*>(GetProcAddress(recording->module, "WhatFormats")));
    EXPECT_EQ(reinterpret_cast<void*>(recording->getTrackInfo),
              reinterpret_cast<void*>(GetProcAddress(recording->module, "GetTrackInfo")));
    EXPECT_EQ(reinterpret_cast<void*>(recording->setIDTagElement),
              reinterpret_cast<void*>(GetProcAddress(recording->module, "SetIDTagElement")));
    EXPECT_NE(recording->setIDTagElement, nullptr);
    EXPECT_EQ(recording->isThisProtected, nullptr);
    EXPECT_EQ(Decoder("SharedPlain.dll")->setIDTagElement, nullptr);
}

TEST(DecoderCatalogue, FormatsComeInDeclarationOrderWithinTheLimits) {
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    const std::vector<Declared> expected = ExpectedFormats();
    ASSERT_EQ(catalogue->formats.count, int(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto* format = static_cast<const FormatEntry*>(catalogue->formats.items[i]);
        EXPECT_EQ(format->extension.CStr(), expected[i].extension) << i;
        EXPECT_EQ(format->decoderPath.CStr(), InputFolder() + expected[i].decoder) << i;
    }
}

TEST(DecoderCatalogue, LookupIgnoresCaseAndTheFirstDeclarationWins) {
    EXPECT_EQ(NameOf(FindDecoderForExtension(".abc")), "Recording.dll");
    EXPECT_EQ(NameOf(FindDecoderForExtension(".ABC")), "Recording.dll");
    EXPECT_EQ(NameOf(FindDecoderForExtension(".LoW")), "Recording.dll");
    EXPECT_EQ(NameOf(FindDecoderForExtension(".endless")), "Endless.dll");
    EXPECT_EQ(FindDecoderForExtension(".none"), nullptr);
    EXPECT_EQ(FindDecoderForExtension("."), nullptr);
    EXPECT_EQ(FindDecoderForExtension(""), nullptr);
}

// Two decoders that declare ".shr", each in a folder of its own, so that
// the load order is the test's and not the file system's.
class SharedExtension : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        base_ = std::string(temp) + "pt_shared_" + std::to_string(GetCurrentProcessId());
        for (const char* name : {"SharedPlain", "SharedTagging"}) {
            const std::string folder = base_ + "_" + name;
            CreateDirectoryA(folder.c_str(), nullptr);
            const std::string dll = folder + "\\" + name + ".dll";
            ASSERT_TRUE(CopyFileA((InputFolder() + name + ".dll").c_str(), dll.c_str(), FALSE));
        }
    }
    void TearDown() override {
        for (const char* name : {"SharedPlain", "SharedTagging"}) {
            const std::string folder = base_ + "_" + name;
            DeleteFileA((folder + "\\" + name + ".dll").c_str());
            RemoveDirectoryA(folder.c_str());
        }
    }
    // The decoder that ".SHR" finds when the two load in the given order.
    std::string FoundAfterLoading(const char* first, const char* second) const {
        DecoderCatalogue catalogue;
        LoadDecoderFolder(catalogue, (base_ + "_" + first).c_str());
        LoadDecoderFolder(catalogue, (base_ + "_" + second).c_str());
        EXPECT_EQ(catalogue.decoders.count, 2);
        const DecoderEntry* found = FindDecoderInCatalogue(catalogue, ".SHR");
        const std::string name = NameOf(found);
        if (found) {
            EXPECT_EQ(found->setIDTagElement == nullptr, name == "SharedPlain.dll");
        }
        DestroyDecoderCatalogue(catalogue);
        return name;
    }

    std::string base_;
};

TEST_F(SharedExtension, TheDecoderLoadedFirstWinsEvenWithoutATagWriter) {
    EXPECT_EQ(FoundAfterLoading("SharedPlain", "SharedTagging"), "SharedPlain.dll");
    EXPECT_EQ(FoundAfterLoading("SharedTagging", "SharedPlain"), "SharedTagging.dll");
}

TEST(DecoderCatalogue, RepliesWithoutTerminatorsKeepNothingOfTheCallBefore) {
    // Recording declares ".long", then ".qq" and "No end" without terminators.
    const DecoderEntry* recording = Decoder("Recording.dll");
    ASSERT_NE(recording, nullptr);
    EXPECT_EQ(FindDecoderForExtension(".qq"), recording);
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    const FormatEntry* last = nullptr;
    for (int i = 0; i < catalogue->formats.count; ++i) {
        auto* format = static_cast<const FormatEntry*>(catalogue->formats.items[i]);
        if (format->decoderPath == recording->path.CStr()) last = format;
    }
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->extension.CStr(), ".qq");
    EXPECT_STREQ(last->description.CStr(), "No end");
}

TEST(DecoderCatalogue, SupportQueries) {
    EXPECT_TRUE(IsExtensionSupported(".Dup"));
    EXPECT_FALSE(IsExtensionSupported(".zzz"));
    EXPECT_TRUE(IsFileSupported("C:\\Music\\song.FULL"));
    EXPECT_FALSE(IsFileSupported("C:\\Music.full\\song"));
}

// The wildcard list of the expected formats after "x", cut before the first
// entry that would not fit size bytes.
std::string ExpectedWildcards(std::size_t size) {
    std::string wildcards = "x";
    for (const Declared& d : ExpectedFormats()) {
        const std::string entry = (wildcards == "x" ? "" : ";") + std::string("*") + d.extension;
        if (wildcards.size() + entry.size() >= size) break;
        wildcards += entry;
    }
    return wildcards;
}

TEST(DecoderCatalogue, WildcardListNamesEveryDeclarationAlsoTwice) {
    std::vector<char> list(64 * 1024, '\0');
    list[0] = 'x';
    BuildExtensionWildcardList(list.data(), list.size());
    const std::string built = list.data();
    EXPECT_EQ(built, ExpectedWildcards(list.size()));
    EXPECT_NE(built.find("*.dup;*.dup;"), std::string::npos);
}

TEST(DecoderCatalogue, ListBuildersKeepWholeEntriesWithinTheBuffer) {
    const std::vector<Declared> expected = ExpectedFormats();
    char list[64] = "x";
    BuildExtensionWildcardList(list, sizeof list);
    EXPECT_EQ(std::string(list), ExpectedWildcards(sizeof list));

    char filter[300];
    std::memset(filter, 0x7f, sizeof filter);
    BuildFileDialogFilter(filter, sizeof filter);
    const char* at = filter;
    std::size_t pairs = 0;
    while (*at) {
        ASSERT_LT(pairs, expected.size());
        at += std::strlen(at) + 1;
        EXPECT_EQ(std::string(at), "*" + expected[pairs].extension);
        at += std::strlen(at) + 1;
        ++pairs;
    }
    EXPECT_GT(pairs, 0u);
    EXPECT_LT(at, filter + sizeof filter);
}

TEST(DecoderCatalogue, DestroyEmptiesACatalogue) {
    DecoderCatalogue catalogue;
    LoadDecoderFolder(catalogue, InputFolder().c_str());
    EXPECT_EQ(catalogue.decoders.count, 6);
    DestroyDecoderCatalogue(catalogue);
    EXPECT_EQ(catalogue.decoders.count, 0);
    EXPECT_EQ(catalogue.formats.count, 0);
    // The process catalogue keeps its own loads.
    EXPECT_EQ(NameOf(FindDecoderForExtension(".abc")), "Recording.dll");
}

}  // namespace
