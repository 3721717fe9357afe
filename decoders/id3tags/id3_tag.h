// The ID3v2.3 tag at the start of an audio file, as frames in memory: read
// from the file's bytes, one text frame set, and written back in front of
// the untouched rest of the file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct Id3Frame {
    std::string id;     // four characters
    unsigned flags = 0;
    std::string body;
};

struct Id3Tag {
    std::vector<Id3Frame> frames;
    std::size_t tagSize = 0;      // bytes the tag takes in the file, header included
    std::size_t paddedSize = 0;   // its size field, kept so a rewrite need not grow
};

// False for a tag this writer does not understand (another version, any
// header flag, frames that overrun the tag): such files are left alone. A
// file without a tag gives an empty one.
bool ParseId3Tag(const std::string& file, Id3Tag& tag);

// Replaces the frame with that id (and drops any later duplicate), or adds
// it: a text frame in ISO-8859-1.
void SetTextFrame(Id3Tag& tag, const char* id, const std::string& latin1);

// The text of the frame, in ISO-8859-1 (UTF-16 characters above 255 become
// "?"); empty when absent.
std::string GetTextFrame(const Id3Tag& tag, const char* id);

// The tag's bytes: header, frames and padding.
std::string RenderId3Tag(const Id3Tag& tag);
