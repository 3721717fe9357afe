// Numbers and byte counts as display text. Truncation toward zero, never
// rounding to nearest: 1048575 bytes show as 1023.99 KB.
#pragma once

#include <cstdint>

#include "util/fixed_text.h"

// Room for any scaled 32-bit number with its sign, point and padding zeros;
// a longer text (only from absurd decimal counts) is cut by FixedText.
using NumberText = FixedText<64>;

// log10 |x|; for x == 0 the constant 1e-20 itself.
double Log10OfMagnitude(double x);

// x scaled by 10^decimals, truncated to a 32-bit integer and shown with a
// point before its last decimals digits: 1.5 and 2 give "1.50", 0.5 gives
// ".50", 0.05 gives ".05", 12 and 0 give "12.", and 0 gives "0". Scaled
// values beyond the 32-bit range are held at its limits; a negative decimals
// count counts as 0.
void FormatFixedPoint(float x, std::int32_t decimals, NumberText& out);

// "N bytes" below 1024, otherwise the size in KB, MB or GB with two
// decimals: 1536 gives "1.50 KB", 5000000000 gives "4.65 GB".
void FormatByteSize(std::int64_t size, NumberText& out);
