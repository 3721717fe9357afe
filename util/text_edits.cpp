#include "util/text_edits.h"

#include <cstring>

namespace {

constexpr char kSpaceKey[] = "[Space]";

bool KeyMatches(const char* key, char character) {
    if (std::strcmp(key, kSpaceKey) == 0) return character == ' ';
    return key[0] == character;
}

void UserReplacement(char character, const StringList& from, const StringList& to,
                     CharReplacement& replacement) {
    for (std::int32_t i = 0; i < from.count && i < to.count; ++i) {
        if (KeyMatches(from.GetString(i)->Text(), character)) {
            // Its first character by design; none for an empty entry.
            replacement.AssignOrCut(to.GetString(i)->Text(), 1);
            return;
        }
    }
}

void RemoveTrailingDots(char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == '.') text[--length] = '\0';
}

// Overwrites every first-second pair, scanning from the left, with
// firstOut-secondOut.
void ReplacePairs(char* text, char first, char second, char firstOut,
                  char secondOut) {
    for (; text[0] != '\0'; ++text) {
        if (text[0] == first && text[1] == second) {
            text[0] = firstOut;
            text[1] = secondOut;
            ++text;
        }
    }
}

}  // namespace

void DefaultCharReplacement(char character, CharReplacement& replacement) {
    if (!replacement.Empty()) return;
    switch (character) {
        case '"': replacement.AppendOrCut('\''); break;
        case '>': replacement.AppendOrCut('\xBB'); break;
        case '<': replacement.AppendOrCut('\xAB'); break;
        case '?': replacement.AppendOrCut('\xBF'); break;
        case ':': replacement.AppendOrCut(';'); break;
        case '\\': case '/': case '*': case '|': replacement.AppendOrCut('-'); break;
        default: break;
    }
}

void SanitiseFileName(char* text, const StringList* from, const StringList* to,
                      bool keepBackslashes) {
    for (char* c = text; *c != '\0'; ++c) {
        CharReplacement replacement;
        if (from && to) UserReplacement(*c, *from, *to, replacement);
        DefaultCharReplacement(*c, replacement);
        if (keepBackslashes && *c == '\\') replacement.Clear();
        if (!replacement.Empty()) *c = replacement.CStr()[0];
    }
    RemoveTrailingDots(text);
}

void EscapeLineBreaks(char* text) { ReplacePairs(text, '\r', '\n', '\\', 'n'); }

void UnescapeLineBreaks(char* text) { ReplacePairs(text, '\\', 'n', '\r', '\n'); }

void CollapseDoubleBackslashes(char* path, bool keepLeadingPair) {
    const std::size_t length = std::strlen(path);
    if (keepLeadingPair && length < 2) return;
    for (char* c = path + (keepLeadingPair ? 2 : 0); *c != '\0'; ++c) {
        if (c[0] == '\\' && c[1] == '\\') std::memmove(c, c + 1, std::strlen(c));
    }
}

// The spaces are dropped as they are written out, once the backslash that
// follows them is seen.
void RemoveSpaceBeforeBackslash(char* text) {
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (*in == '\\') {
            while (out > text && out[-1] == ' ') --out;
        }
        *out++ = *in;
    }
    *out = '\0';
}
