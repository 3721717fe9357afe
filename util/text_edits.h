// In-place edits of single-byte texts: making a text usable as a file name,
// escaping line breaks for single-line storage, tidying backslashes and
// spaces in paths. None of them makes a text longer.
#pragma once

#include "util/fixed_text.h"
#include "util/string_list.h"

// One character and its terminator.
using CharReplacement = FixedText<2>;

// Fills an empty replacement with the built-in substitute for a character
// that file names cannot hold (" < > ? : \ / * |); leaves it empty for any
// other character and untouched when it already holds a text.
void DefaultCharReplacement(char character, CharReplacement& replacement);

// Replaces, character by character, what file names cannot hold. A user
// table (from[i] -> first character of to[i], "[Space]" standing for a
// space; both lists may be null) comes before the built-in substitutes;
// keepBackslashes spares backslashes from both. Trailing dots are removed.
void SanitiseFileName(char* text, const StringList* from, const StringList* to,
                      bool keepBackslashes);

// CR LF becomes the two characters \n, and back. A lone CR or LF stays; a
// \n that was in the text before escaping becomes a line break on the way
// back, as there is no escape for the backslash itself.
void EscapeLineBreaks(char* text);
void UnescapeLineBreaks(char* text);

// Shortens every run of backslashes to half its length, rounded up. With
// keepLeadingPair the first two characters are left alone, so a UNC path
// keeps its leading pair.
void CollapseDoubleBackslashes(char* path, bool keepLeadingPair);

// Removes every run of spaces directly before a backslash.
void RemoveSpaceBeforeBackslash(char* text);
