#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// The wide long form reaches names past the path limit too.
void DeleteLongFile(const std::string& path) {
    const std::string longForm = "\\\\?\\" + path;
    std::wstring wide(longForm.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, longForm.c_str(), -1, wide.data(), int(wide.size()));
    DeleteFileW(wide.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::string(temp) + "pt_" + test->test_suite_name() + "_" + test->name() +
              "_" + std::to_string(GetCurrentProcessId()) + "\\";
    // Process ids come round again under Wine: a folder left by an earlier
    // run that was stopped goes first.
    RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(folder_); }

void ScratchFolder::RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                DeleteLongFile(path);
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
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
