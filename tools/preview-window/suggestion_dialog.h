// The suggestions for a folder, each with what it reads there, to choose
// one from: the proposed set first, then each layout alone.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tagging/pattern_suggest.h"

constexpr int kSuggestionListId = 100;

// What choosing a suggestion puts into the window: a set fills the pattern
// box and the fallbacks and checks "Only tag files that a pattern of the set
// fits"; a single layout fills the pattern box alone.
struct SuggestedPatterns {
    std::vector<std::string> patterns;
    bool isSet = false;
};

// The line the list shows for a single layout.
std::string SuggestionLine(const PatternSuggestion& suggestion);

// A modal dialog over owner, showing each pattern whole. Highlighting an
// entry calls preview with it. The chosen entry; false when the dialog was
// cancelled.
bool ChooseSuggestion(HWND owner, const std::vector<PatternSuggestion>& set,
                      const std::vector<PatternSuggestion>& singles,
                      const std::function<void(const SuggestedPatterns&)>& preview,
                      SuggestedPatterns& chosen);
