#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "pt_" + test->test_suite_name() + "_" + test->name() +
              "_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((folder_ + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string path = folder_ + entry.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder_.c_str());
}

std::string ScratchFolder::Write(const char* name, const std::string& bytes) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ScratchFolder::Read(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    if (!in) return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
