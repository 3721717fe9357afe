// What the preview window remembers between runs: its size and the folder
// it showed last. Kept beside the plugin's setting, under names that carry
// the program's own name so that none of the host's values can collide.
// And the plugin's settings beside its pattern, which the window edits.
#pragma once

#include <string>
#include <vector>

struct WindowSize {
    int width = 0;
    int height = 0;  // 0 and 0: nothing remembered
};

WindowSize ReadWindowSize();
void StoreWindowSize(const WindowSize& size);
std::string ReadLastFolder();
void StoreLastFolder(const std::string& folder);

// Stored as 1, or deleted, which the plugin reads as off.
bool StoreOnlyWhenFits(bool on);
// Stored in order from ".2" on, the values after the last one deleted: the
// plugin reads them up to the first missing one.
bool StoreFallbackPatterns(const std::vector<std::string>& patterns);
