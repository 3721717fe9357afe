// PathTaggerPreview's window: a pattern box with its fallbacks, a folder
// box, and a list of every file below the folder with the values the plugin
// would write into it and what it would do with it, following the patterns
// as they are typed.
#pragma once

#include <windows.h>

#include <string>

// Control ids, for keyboard users' tools and for tests that drive the window.
constexpr int kPatternEditId = 1001;
constexpr int kFolderEditId = 1002;
constexpr int kFileListId = 1003;
constexpr int kUsePatternButtonId = 1004;  // stores the pattern, fallbacks and check box
constexpr int kStatusBarId = 1005;
constexpr int kBrowseButtonId = 1006;
constexpr int kWarningsTextId = 1007;
constexpr int kNoticeTextId = 1008;     // about the folder and the host's decoders
constexpr int kResultFilterId = 1009;   // which rows the list shows
constexpr int kSuggestButtonId = 1010;
constexpr int kOnlyWhenFitsBoxId = 1011;
constexpr int kFallbackListId = 1012;   // the fallback patterns, in order
constexpr int kFallbackEditId = 1013;   // a fallback pattern to add
constexpr int kAddFallbackButtonId = 1014;
constexpr int kFallbackUpButtonId = 1015;
constexpr int kFallbackDownButtonId = 1016;
constexpr int kRemoveFallbackButtonId = 1017;
constexpr int kMakeMainButtonId = 1018;        // the chosen fallback and the pattern swap places
constexpr int kChangeFallbackButtonId = 1019;  // the chosen fallback becomes the box's text
constexpr int kFallbackWarningsId = 1030;
constexpr int kFirstTokenButtonId = 1020;  // eight, in the order of TagToken

constexpr char kPreviewWindowClass[] = "PathTaggerPreview";

struct PreviewOptions {
    std::string folder;  // empty: the folder shown last time, if any
    std::string pattern;
    bool patternGiven = false;  // otherwise the pattern in force
};

// Shows the window and runs it until it is closed; the process's exit code.
int RunPreviewWindow(HINSTANCE instance, const PreviewOptions& options);
