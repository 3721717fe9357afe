// The suggested patterns for a folder, each with what it reads there, to
// choose one from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tagging/pattern_suggest.h"

constexpr int kSuggestionListId = 100;

// The line the list shows for a suggestion.
std::string SuggestionLine(const PatternSuggestion& suggestion);

// A modal dialog over owner; the index of the suggestion chosen, or -1 when
// it was cancelled.
int ChooseSuggestion(HWND owner, const std::vector<PatternSuggestion>& suggestions);
