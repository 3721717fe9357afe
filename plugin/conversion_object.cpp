#include "plugin/conversion_object.h"

#include "plugin/tag_pattern_setting.h"
#include "tagging/tag_pattern_matcher.h"
#include "tagging/tag_writer.h"

ConversionObject::ConversionObject(const char* sourcePath, std::int32_t* result) {
    if (result) *result = 0;  // nothing is ever reported to the host
    const PathText pattern = CopyOfCurrentTagPattern();
    if (pattern.Empty() || sourcePath == nullptr) return;
    TagFields fields = Match(pattern.CStr(), sourcePath);
    WriteTags(sourcePath, fields);
}
