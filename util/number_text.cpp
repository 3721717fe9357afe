#include "util/number_text.h"

#include <cmath>
#include <charconv>
#include <limits>

namespace {

// The truncated value, held at the 32-bit limits (NaN gives 0) instead of
// an out-of-range conversion.
std::int32_t TruncateToInt32(double value) {
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    if (value <= kLowest) return std::numeric_limits<std::int32_t>::min();
    if (value >= kHighest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

FixedText<24> DecimalText(std::int64_t value) {
    FixedText<24> text;
    const auto end = std::to_chars(text.Data(), text.Data() + text.kMaxLength, value);
    *end.ptr = '\0';
    return text;
}

}  // namespace

double Log10OfMagnitude(double x) {
    constexpr double kZeroLogarithm = 1e-20;
    return x == 0 ? kZeroLogarithm : std::log10(std::fabs(x));
}

// Digits fewer than decimals are padded with zeros after the point (0.05
// gives ".05"), so the point never has to go in front of the text.
// Display texts: only an absurd decimal count can cut one, and it is then
// shown cut.
void FormatFixedPoint(float x, std::int32_t decimals, NumberText& out) {
    out.Clear();
    if (x == 0) {
        out.AppendOrCut('0');
        return;
    }
    double scale = 1;
    for (std::int32_t i = 0; i < decimals; ++i) scale *= 10;
    const std::int64_t n = TruncateToInt32(static_cast<double>(x) * scale);
    if (n < 0) out.AppendOrCut('-');
    const FixedText<24> digits = DecimalText(n < 0 ? -n : n);
    const std::size_t length = digits.Length();
    const std::size_t fraction = decimals > 0 ? static_cast<std::size_t>(decimals) : 0;
    const std::size_t whole = length > fraction ? length - fraction : 0;
    out.AppendOrCut(digits.CStr(), whole);
    out.AppendOrCut('.');
    for (std::size_t i = length; i < fraction; ++i) out.AppendOrCut('0');
    out.AppendOrCut(digits.CStr() + whole);
}

void FormatByteSize(std::int64_t size, NumberText& out) {
    const std::int64_t kb = size / 1024;
    const std::int64_t mb = kb / 1024;
    const std::int64_t gb = mb / 1024;
    if (kb == 0) {
        out.AssignOrCut(DecimalText(size).CStr());
        out.AppendOrCut(" bytes");
        return;
    }
    const std::int64_t below = gb != 0 ? mb : mb != 0 ? kb : size;
    const char* unit = gb != 0 ? " GB" : mb != 0 ? " MB" : " KB";
    FormatFixedPoint(static_cast<float>(static_cast<double>(below) / 1024), 2, out);
    out.AppendOrCut(unit);
}
