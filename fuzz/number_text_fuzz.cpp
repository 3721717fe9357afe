// Any float, decimal count and byte size: the texts stay within their
// buffers and have the documented shape.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "util/number_text.h"

namespace {

bool Bounded(const NumberText& text) {
    return BoundedLength(text.CStr(), NumberText::kCapacity) < NumberText::kCapacity;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    float x;
    std::int32_t decimals;
    std::int64_t bytes;
    std::memcpy(&x, data, 4);
    std::memcpy(&decimals, data + 4, 4);
    std::memcpy(&bytes, data + 8, 8);
    NumberText text;
    FormatFixedPoint(x, decimals % 40, text);
    FUZZ_CHECK(Bounded(text));
    FormatByteSize(bytes, text);
    FUZZ_CHECK(Bounded(text) && !text.Empty());
    const char* unit = std::strrchr(text.CStr(), ' ');
    FUZZ_CHECK(unit && (!std::strcmp(unit, " bytes") || !std::strcmp(unit, " KB") ||
                        !std::strcmp(unit, " MB") || !std::strcmp(unit, " GB")));
    return 0;
}
