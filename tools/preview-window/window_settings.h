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
// The widths the user gave the list's columns, 0 for one left to fit;
// count of them.
void ReadColumnWidths(int* widths, int count);
void StoreColumnWidths(const int* widths, int count);
std::string ReadLastFolder();
void StoreLastFolder(const std::string& folder);

// What the plugin tags with: the pattern, its fallbacks in order, and
// whether a file no pattern fits is left alone.
struct PatternSet {
    std::string pattern;
    std::vector<std::string> fallbacks;
    bool onlyWhenFits = false;

    bool operator==(const PatternSet& other) const {
        return pattern == other.pattern && fallbacks == other.fallbacks &&
               onlyWhenFits == other.onlyWhenFits;
    }
    bool operator!=(const PatternSet& other) const { return !(*this == other); }
};

// The set stored now, as the plugin reads it.
PatternSet ReadStoredPatternSet();
// Stores the set in place of was, the set stored now; false when a value
// could not be written. The values are written one by one, in the order
// that keeps every state between the old set and the new one on the careful
// side for a conversion that reads them meanwhile (see the definition).
bool StorePatternSet(const PatternSet& set, const PatternSet& was);
