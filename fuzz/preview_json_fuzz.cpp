// Any bytes through the preview tool's JSON writer: the text is plain ASCII
// JSON and decodes back to the same bytes.
#include <string>

#include "fuzz/fuzz_input.h"
#include "tools/preview/preview_output.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes the one string literal the writer produced; false when it is not
// the writer's form.
bool DecodeJsonString(const std::string& json, std::string& bytes) {
    if (json.size() < 2 || json.front() != '"' || json.back() != '"') return false;
    for (std::size_t i = 1; i + 1 < json.size(); ++i) {
        const unsigned char c = json[i];
        if (c < 0x20 || c >= 0x80 || c == '"') return false;
        if (c != '\\') {
            bytes += char(c);
            continue;
        }
        if (++i + 1 >= json.size()) return false;
        if (json[i] == '"' || json[i] == '\\') {
            bytes += json[i];
        } else if (json.compare(i, 3, "u00") == 0 && i + 5 < json.size() &&
                   HexValue(json[i + 3]) >= 0 && HexValue(json[i + 4]) >= 0) {
            bytes += char(HexValue(json[i + 3]) * 16 + HexValue(json[i + 4]));
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string json;
    AppendJsonString(json, input.data(), input.size());
    std::string decoded;
    FUZZ_CHECK(DecodeJsonString(json, decoded));
    FUZZ_CHECK(decoded == input);

    const TwoTexts texts = SplitAtNewline(data, size);
    const std::string line = FormatJsonLine(PreviewPath(texts.first.c_str(), texts.second));
    FUZZ_CHECK(line.find('\n') == std::string::npos);
    for (unsigned char c : line) FUZZ_CHECK(c >= 0x20 && c < 0x80);
    return 0;
}
