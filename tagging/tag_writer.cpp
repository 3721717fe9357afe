#include "tagging/tag_writer.h"

#include <windows.h>

#include "decoders/decoder_catalogue.h"
#include "decoders/guarded_call.h"
#include "hostenv/path_strings.h"
#include "tagging/tag_values.h"

namespace {

// Clears read-only, hidden and system before the decoder writes. A file that
// carries none of them is left alone: clearing its archive bit alone would be
// undone by the write that follows, and setting attributes costs far more
// than reading them (under Wine about 0.2 ms a file, ten times the rest of
// the plugin's work).
void MakeWritable(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == FILE_ATTRIBUTE_NORMAL || attributes == FILE_ATTRIBUTE_ARCHIVE) return;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

void WriteTags(const char* sourcePath, TagFields& fields) {
    NormaliseTagFields(fields);
    const TagWritePlan plan = PlanTagWrites(fields);
    if (plan.Empty()) return;
    PathText extension;
    // Every declared extension fits whole, so a cut one is no decoder's.
    if (!GetExtension(sourcePath, extension)) return;
    const DecoderEntry* decoder = FindDecoderForExtension(extension.CStr());
    if (decoder == nullptr || decoder->setIDTagElement == nullptr) return;
    MakeWritable(sourcePath);
    for (std::size_t i = 0; i < plan.count; ++i) {
        const TagWrite& write = plan.writes[i];
        Guarded([&] { decoder->setIDTagElement(sourcePath, write.fieldName, write.value.CStr()); });
    }
}
