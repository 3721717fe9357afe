#include "util/system_rules.h"

// Products are formed in 64 bits so that no length overflows on the way;
// the quotient is what a 32-bit evaluation gives for every length that fits.
std::int32_t ScaleLengthX(std::int32_t length, std::int32_t resolution) {
    if (resolution == 96) return length;
    const std::int64_t widened = std::int64_t{length} * 106 / 100;
    return static_cast<std::int32_t>(widened * resolution / 96);
}

std::int32_t ScaleLengthY(std::int32_t length, std::int32_t resolution) {
    return static_cast<std::int32_t>(std::int64_t{length} * resolution / 96);
}

bool IsXpFamilyVersion(std::uint32_t major, std::uint32_t minor) {
    return major == 5 && minor != 0;
}

std::uint32_t PackDllVersion(std::uint32_t major, std::uint32_t minor) {
    return (major & 0xFFFF) << 16 | (minor & 0xFFFF);
}
