// Id3Tags.dll: a small decoder plugin for ".mp3" files that stores the tag
// fields in the file's ID3v2.3 tag and reads them back. It decodes no audio.
//
// A write never touches the audio. When the new tag fits in the room of the
// old one (a tag this plugin wrote keeps spare room for that), only the tag's
// bytes at the start of the file are rewritten. Otherwise the new file is
// written next to the original and then replaces it, so a failure at any
// step leaves the original as it was. A tag it does not understand is left
// untouched.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "decoders/id3tags/id3_tag.h"

#define ID3TAGS_EXPORT extern "C" __declspec(dllexport)

namespace {

const char* FrameForField(const char* field) {
    static const struct {
        const char* field;
        const char* frame;
    } kFields[] = {{"Artist", "TPE1"}, {"Album", "TALB"}, {"Title", "TIT2"},
                   {"Genre", "TCON"},  {"Year", "TYER"},  {"Track", "TRCK"}};
    for (const auto& entry : kFields) {
        if (std::strcmp(entry.field, field) == 0) return entry.frame;
    }
    return nullptr;
}

bool ReadWholeFile(const char* path, std::string& content) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        content.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, content.data(), DWORD(content.size()), &read, nullptr) &&
             read == content.size();
    }
    CloseHandle(file);
    return ok;
}

bool WriteNewFile(const char* path, const std::string& head, const std::string& content,
                  std::size_t tail) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, head.data(), DWORD(head.size()), &written, nullptr) &&
              written == head.size();
    const DWORD rest = DWORD(content.size() - tail);
    ok = ok && WriteFile(file, content.data() + tail, rest, &written, nullptr) &&
         written == rest;
    ok = CloseHandle(file) && ok;
    return ok;
}

// The replacement would overwrite a read-only file on some systems and not
// on others; a read-only file is never changed.
bool IsReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Writes the file with its new tag beside the original, then swaps it in.
bool ReplaceTag(const char* path, const std::string& content, const Id3Tag& tag) {
    const std::string temporary = std::string(path) + ".id3new";
    if (WriteNewFile(temporary.c_str(), RenderId3Tag(tag), content, tag.tagSize) &&
        MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

// The file's tag alone, when it has one: its header and what the header
// says it spans.
bool ReadExistingTag(HANDLE file, std::string& tagBytes) {
    char header[10];
    DWORD read = 0;
    if (!ReadFile(file, header, sizeof header, &read, nullptr) || read != sizeof header ||
        std::memcmp(header, "ID3", 3) != 0) {
        return false;
    }
    const std::size_t size = (std::size_t(header[6] & 0x7F) << 21) |
                             (std::size_t(header[7] & 0x7F) << 14) |
                             (std::size_t(header[8] & 0x7F) << 7) | std::size_t(header[9] & 0x7F);
    tagBytes.assign(header, sizeof header);
    tagBytes.resize(sizeof header + size);
    return ReadFile(file, tagBytes.data() + sizeof header, DWORD(size), &read, nullptr) &&
           read == size;
}

// Sets the frame inside the existing tag's room; false when there is no tag,
// it is not one this plugin understands, or the frames no longer fit.
bool UpdateTagInPlace(const char* path, const char* frame, const char* value) {
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string tagBytes;
    Id3Tag tag;
    bool done = ReadExistingTag(file, tagBytes) && ParseId3Tag(tagBytes, tag) &&
                tag.tagSize == tagBytes.size();
    if (done) {
        SetTextFrame(tag, frame, value);
        const std::string rendered = RenderId3Tag(tag);
        DWORD written = 0;
        done = rendered.size() == tag.tagSize &&
               SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
               WriteFile(file, rendered.data(), DWORD(rendered.size()), &written, nullptr) &&
               written == rendered.size();
    }
    CloseHandle(file);
    return done;
}

void CopyCut(char* out, std::size_t capacity, const std::string& text) {
    const std::size_t n = text.size() < capacity ? text.size() : capacity - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace

ID3TAGS_EXPORT void __cdecl WhatFormats(std::int32_t index, char* extension,
                                        char* description) {
    std::strcpy(extension, index == 0 ? ".mp3" : "");
    std::strcpy(description, index == 0 ? "MPEG audio with ID3v2.3 tags" : "");
}

ID3TAGS_EXPORT void __cdecl SetIDTagElement(const char* path, const char* field,
                                            const char* value) {
    const char* frame = path && field && value ? FrameForField(field) : nullptr;
    if (!frame || IsReadOnly(path) || UpdateTagInPlace(path, frame, value)) return;
    std::string content;
    Id3Tag tag;
    if (!ReadWholeFile(path, content) || !ParseId3Tag(content, tag)) return;
    SetTextFrame(tag, frame, value);
    ReplaceTag(path, content, tag);
}

// Artist, title and album come as the three short texts, the track number
// and the year as numbers 2 and 3, the genre as the reply text.
ID3TAGS_EXPORT void __cdecl GetTrackInfo(const char* path, std::int32_t* trackNumber,
                                         std::int32_t* year, std::int32_t*, std::int32_t*,
                                         std::int32_t*, char* artist, char* title,
                                         char* album, std::int32_t*, std::int32_t*,
                                         char* genre) {
    std::string content;
    Id3Tag tag;
    if (!path || !ReadWholeFile(path, content) || !ParseId3Tag(content, tag)) return;
    CopyCut(artist, 100, GetTextFrame(tag, "TPE1"));
    CopyCut(title, 100, GetTextFrame(tag, "TIT2"));
    CopyCut(album, 100, GetTextFrame(tag, "TALB"));
    CopyCut(genre, 260, GetTextFrame(tag, "TCON"));
    *trackNumber = std::atoi(GetTextFrame(tag, "TRCK").c_str());
    *year = std::atoi(GetTextFrame(tag, "TYER").c_str());
}
