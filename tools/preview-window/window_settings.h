// What the preview window remembers between runs: its size and the folder
// it showed last. Kept beside the plugin's setting, under names that carry
// the program's own name so that none of the host's values can collide.
#pragma once

#include <string>

struct WindowSize {
    int width = 0;
    int height = 0;  // 0 and 0: nothing remembered
};

WindowSize ReadWindowSize();
void StoreWindowSize(const WindowSize& size);
std::string ReadLastFolder();
void StoreLastFolder(const std::string& folder);
