// The arithmetic and version rules behind the system queries, apart from
// the platform calls that supply their inputs.
#pragma once

#include <cstdint>

// A length in 96-dpi units at the given pixels per logical inch. Horizontal
// lengths are made 6 % larger whenever the resolution is not 96; both
// truncate toward zero.
std::int32_t ScaleLengthX(std::int32_t length, std::int32_t resolution);
std::int32_t ScaleLengthY(std::int32_t length, std::int32_t resolution);

// Versions 5.1 and 5.2; not 5.0, nothing below 5 and nothing from 6 on.
bool IsXpFamilyVersion(std::uint32_t major, std::uint32_t minor);

// The result of a version query: major in the high 16 bits, minor in the
// low 16 bits.
std::uint32_t PackDllVersion(std::uint32_t major, std::uint32_t minor);
