#include "plugin/conversion_object.h"

#include "plugin/tag_pattern_setting.h"
#include "tagging/pattern_fit.h"
#include "tagging/tag_writer.h"

ConversionObject::ConversionObject(const char* sourcePath, std::int32_t* result) {
    if (result) *result = 0;  // nothing is ever reported to the host
    const PatternChoice inForce = CopyOfTagPatternsInForce();
    if (inForce.patterns[0].Empty() || sourcePath == nullptr) return;
    TagFields fields;
    if (MatchFirstThatFits(inForce, sourcePath, fields)) WriteTags(sourcePath, fields);
}
