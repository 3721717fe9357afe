// A fresh folder under the temporary folder for one test, removed with its
// files afterwards.
#pragma once

#include <windows.h>

#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const char* name) const { return folder_ + name; }
    // Creates or replaces name with bytes; returns its path.
    std::string Write(const char* name, const std::string& bytes) const;
    // The whole content of name; "<missing>" when it cannot be read.
    std::string Read(const char* name) const;

private:
    static void RemoveTree(const std::string& folder);

    std::string folder_;
};
