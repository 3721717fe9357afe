#include "tagging/tag_writer.h"

#include <windows.h>

#include "decoders/decoder_catalogue.h"
#include "decoders/guarded_call.h"
#include "hostenv/path_strings.h"
#include "tagging/tag_values.h"

void WriteTags(const char* sourcePath, TagFields& fields) {
    NormaliseTagFields(fields);
    const TagWritePlan plan = PlanTagWrites(fields);
    if (plan.Empty()) return;
    PathText extension;
    GetExtension(sourcePath, extension);
    const DecoderEntry* decoder = FindDecoderForExtension(extension.CStr());
    if (decoder == nullptr || decoder->setIDTagElement == nullptr) return;
    SetFileAttributesA(sourcePath, FILE_ATTRIBUTE_NORMAL);
    for (std::size_t i = 0; i < plan.count; ++i) {
        const TagWrite& write = plan.writes[i];
        Guarded([&] { decoder->setIDTagElement(sourcePath, write.fieldName, write.value.CStr()); });
    }
}
