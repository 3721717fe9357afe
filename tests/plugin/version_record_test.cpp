// The version record of every binary that ships or stands in for the host,
// read back through the platform's own version API.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/program_folder.h"

namespace {

struct Binary {
    std::string path;
    const char* originalName;
    DWORD fileType;
};

std::vector<Binary> Binaries() {
    const std::string bin = OwnFolder();
    const std::string host = bin + "..\\host\\";
    return {{host + "PathTagger.dll", "PathTagger.dll", VFT_DLL},
            {host + "pathtagger-host.exe", "pathtagger-host.exe", VFT_APP},
            {host + "Multiplayer\\Input\\Id3Tags.dll", "Id3Tags.dll", VFT_DLL},
            {bin + "pathtagger-preview.exe", "pathtagger-preview.exe", VFT_APP}};
}

std::vector<char> ReadRecord(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, record.data())) record.clear();
    return record;
}

// The string in the record's first (and only) language.
std::string StringValue(std::vector<char>& record, const char* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation) {
        return "<no translation>";
    }
    char query[96];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s",
                  translation->language, translation->codePage, name);
    char* value = nullptr;
    if (!VerQueryValueA(record.data(), query, reinterpret_cast<void**>(&value), &length)) {
        return "<missing>";
    }
    return value;
}

TEST(VersionRecord, EveryBinaryCarriesTheProjectVersion) {
    for (const Binary& binary : Binaries()) {
        SCOPED_TRACE(binary.path);
        std::vector<char> record = ReadRecord(binary.path);
        ASSERT_FALSE(record.empty()) << "no version record";

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed),
                                   &length));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS,
                  DWORD(PATHTAGGER_VERSION_MAJOR << 16 | PATHTAGGER_VERSION_MINOR));
        EXPECT_EQ(fixed->dwFileVersionLS, DWORD(PATHTAGGER_VERSION_PATCH << 16));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, binary.fileType);

        const std::string name = binary.originalName;
        EXPECT_EQ(StringValue(record, "FileVersion"), PATHTAGGER_VERSION);
        EXPECT_EQ(StringValue(record, "ProductVersion"), PATHTAGGER_VERSION);
        EXPECT_EQ(StringValue(record, "ProductName"), "PathTagger");
        EXPECT_EQ(StringValue(record, "OriginalFilename"), name);
        EXPECT_EQ(StringValue(record, "InternalName"), name.substr(0, name.rfind('.')));
        EXPECT_NE(StringValue(record, "FileDescription").find_first_not_of(' '),
                  std::string::npos);
    }
}

}  // namespace
