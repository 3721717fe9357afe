#include "decoders/id3tags/id3_tag.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeaderSize = 10;
// Room left for later frames when a tag has to grow, so the next write can
// reuse it.
constexpr std::size_t kGrowthPadding = 1024;

std::size_t Byte(const std::string& s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

std::size_t SyncSafe(const std::string& s, std::size_t at) {
    return (Byte(s, at) << 21) | (Byte(s, at + 1) << 14) | (Byte(s, at + 2) << 7) |
           Byte(s, at + 3);
}

std::size_t BigEndian32(const std::string& s, std::size_t at) {
    return (Byte(s, at) << 24) | (Byte(s, at + 1) << 16) | (Byte(s, at + 2) << 8) |
           Byte(s, at + 3);
}

void PutSyncSafe(std::string& out, std::size_t value) {
    for (int shift : {21, 14, 7, 0}) out += static_cast<char>((value >> shift) & 0x7F);
}

void PutBigEndian(std::string& out, std::size_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool ParseFrames(const std::string& file, std::size_t end, Id3Tag& tag) {
    std::size_t at = kHeaderSize;
    while (at + kHeaderSize <= end && file[at] != '\0') {
        const std::size_t size = BigEndian32(file, at + 4);
        if (size > end - at - kHeaderSize) return false;
        tag.frames.push_back({file.substr(at, 4),
                              unsigned(Byte(file, at + 8) << 8 | Byte(file, at + 9)),
                              file.substr(at + kHeaderSize, size)});
        at += kHeaderSize + size;
    }
    return true;
}

std::string Latin1FromUtf16(const std::string& body, std::size_t at) {
    bool bigEndian = false;
    if (at + 2 <= body.size()) {
        const std::size_t bom = Byte(body, at) << 8 | Byte(body, at + 1);
        if (bom == 0xFEFF || bom == 0xFFFE) {
            bigEndian = bom == 0xFEFF;
            at += 2;
        }
    }
    std::string text;
    for (; at + 2 <= body.size(); at += 2) {
        const std::size_t unit = bigEndian ? (Byte(body, at) << 8 | Byte(body, at + 1))
                                           : (Byte(body, at + 1) << 8 | Byte(body, at));
        if (unit == 0) break;
        text += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return text;
}

}  // namespace

bool ParseId3Tag(const std::string& file, Id3Tag& tag) {
    tag = Id3Tag{};
    if (file.size() < kHeaderSize || file.compare(0, 3, "ID3") != 0) return true;
    if (file[3] != 3 || file[5] != 0) return false;
    const std::size_t end = kHeaderSize + SyncSafe(file, 6);
    if (end > file.size()) return false;
    tag.tagSize = end;
    tag.paddedSize = end - kHeaderSize;
    return ParseFrames(file, end, tag);
}

void SetTextFrame(Id3Tag& tag, const char* id, const std::string& latin1) {
    const std::string body = std::string(1, '\0') + latin1;
    auto same = [&](const Id3Frame& frame) { return frame.id == id; };
    auto first = std::find_if(tag.frames.begin(), tag.frames.end(), same);
    if (first == tag.frames.end()) {
        tag.frames.push_back({id, 0, body});
        return;
    }
    *first = {id, 0, body};
    tag.frames.erase(std::remove_if(first + 1, tag.frames.end(), same), tag.frames.end());
}

std::string GetTextFrame(const Id3Tag& tag, const char* id) {
    for (const Id3Frame& frame : tag.frames) {
        if (frame.id != id || frame.body.empty()) continue;
        if (frame.body[0] == 1) return Latin1FromUtf16(frame.body, 1);
        const std::string text = frame.body.substr(1);
        return text.substr(0, text.find('\0'));
    }
    return "";
}

std::string RenderId3Tag(const Id3Tag& tag) {
    std::string frames;
    for (const Id3Frame& frame : tag.frames) {
        frames += frame.id;
        PutBigEndian(frames, frame.body.size(), 4);
        PutBigEndian(frames, frame.flags, 2);
        frames += frame.body;
    }
    const std::size_t size = frames.size() <= tag.paddedSize ? tag.paddedSize
                                                             : frames.size() + kGrowthPadding;
    std::string out("ID3\x03\x00\x00", 6);
    PutSyncSafe(out, size);
    out += frames;
    out.resize(kHeaderSize + size, '\0');
    return out;
}
