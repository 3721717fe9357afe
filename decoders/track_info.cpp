#include "decoders/track_info.h"

#include <cstring>
#include <initializer_list>

#include "decoders/decoder_catalogue.h"
#include "decoders/guarded_call.h"
#include "hostenv/path_strings.h"
#include "tagging/tag_values.h"

namespace {

constexpr std::size_t kShortText = sizeof(TrackInfoRecord::firstText);

struct DecoderNumbers {
    std::int32_t n2, n3, n4, n5, n6, n10, n11;
};

void StoreNumbers(TrackInfoRecord& record, const DecoderNumbers& n) {
    record.fromArg2 = static_cast<std::uint16_t>(n.n2);
    record.fromArg3 = n.n3;
    record.fromArg4 = static_cast<std::uint8_t>(n.n4);
    record.fromArg5 = n.n5;
    record.fromArg6 = n.n6;
    record.fromArg10Low = static_cast<std::uint16_t>(n.n10);
    record.fromArg10High = static_cast<std::uint8_t>(n.n10 / 65536);
    record.fromArg11 = static_cast<std::uint8_t>(n.n11);
}

// The interface promises 100 characters per text. A decoder that writes more
// writes into room to spare, and only what the record's fields hold is kept.
// The texts start zeroed, as the record's fields do, so a text written
// without its terminator ends where the decoder stopped.
struct DecoderTexts {
    DecoderTexts() {
        for (FixedText<4096>* text : {&first, &second, &third, &reply}) text->Wipe();
    }
    FixedText<4096> first, second, third, reply;
};

// Track texts are only shown: a longer one keeps what fits its field.
void KeepText(char* field, std::size_t capacity, FixedText<4096>& text) {
    text.Terminate();
    BoundedCopyOrCut(field, capacity, text.CStr(), text.Length());
}

// False when the decoder faulted; what it wrote until then is kept.
bool AskDecoder(TrackInfoRecord& record, char* replyText) {
    PathText extension;
    // Every declared extension fits whole, so a cut one is no decoder's.
    if (!GetExtension(record.path, extension)) return true;
    const DecoderEntry* decoder = FindDecoderForExtension(extension.CStr());
    if (decoder == nullptr || decoder->getTrackInfo == nullptr) return true;
    DecoderNumbers n{};
    DecoderTexts texts;
    const bool returned = Guarded([&] {
        decoder->getTrackInfo(record.path, &n.n2, &n.n3, &n.n4, &n.n5, &n.n6,
                              texts.first.Data(), texts.second.Data(), texts.third.Data(),
                              &n.n10, &n.n11, texts.reply.Data());
    });
    KeepText(record.firstText, kShortText, texts.first);
    KeepText(record.secondText, kShortText, texts.second);
    KeepText(record.thirdText, kShortText, texts.third);
    KeepText(replyText, kMaxPathText, texts.reply);
    if (returned) StoreNumbers(record, n);
    return returned;
}

// Cuts the part to the field's 99 characters first, then, if asked, trims.
void SetNamePart(char* field, const char* part, std::size_t length, bool trim) {
    PathText text;
    text.AssignOrCut(part, length < kShortText ? length : kShortText - 1);
    if (trim) TrimSpaces(text);
    BoundedCopyOrCut(field, kShortText, text.CStr(), text.Length());  // fits: cut above
}

void FillFromFileName(TrackInfoRecord& record) {
    PathText name;
    // The name only fills shown texts of 99 characters, cut anyway.
    static_cast<void>(GetBaseName(record.path, name));
    const char* dash = std::strchr(name.CStr(), '-');
    if (dash == nullptr) {
        SetNamePart(record.secondText, name.CStr(), name.Length(), false);
        return;
    }
    SetNamePart(record.firstText, name.CStr(), dash - name.CStr(), true);
    SetNamePart(record.secondText, dash + 1, std::strlen(dash + 1), true);
}

bool HasArtistOrTitle(const TrackInfoRecord& record) {
    return record.firstText[0] != '\0' || record.secondText[0] != '\0';
}

}  // namespace

void LookUpTrackInfo(TrackInfoRecord* record, char* replyText) {
    char ownReply[kMaxPathText];
    GetDecoderCatalogue();
    char* reply = replyText ? replyText : ownReply;
    reply[0] = '\0';
    if (record == nullptr || HasArtistOrTitle(*record)) return;

    PathText path;
    // A path without its terminator names no file to look up.
    if (!path.Assign(record->path, BoundedLength(record->path, sizeof record->path))) return;
    std::memset(record, 0, sizeof *record);
    BoundedCopyOrCut(record->path, sizeof record->path, path.CStr(), path.Length());  // fits

    SYSTEMTIME now;
    GetSystemTime(&now);
    SystemTimeToFileTime(&now, &record->lookupTime);

    if (!AskDecoder(*record, reply) || HasArtistOrTitle(*record)) return;
    FillFromFileName(*record);
}
