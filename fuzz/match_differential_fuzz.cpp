// Pattern on the first line, path after it: the shipped matcher must give
// exactly what the step-by-step matcher gives.
#include "fuzz/fuzz_input.h"
#include "fuzz/reference_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TwoTexts input = SplitAtNewline(data, size);
    const TagFields fast = Match(input.first.c_str(), input.second.c_str());
    const TagFields slow = reference::Match(input.first.c_str(), input.second.c_str());
    FUZZ_CHECK(fast.artist == slow.artist.CStr());
    FUZZ_CHECK(fast.album == slow.album.CStr());
    FUZZ_CHECK(fast.title == slow.title.CStr());
    FUZZ_CHECK(fast.genre == slow.genre.CStr());
    FUZZ_CHECK(fast.year == slow.year);
    FUZZ_CHECK(fast.trackNumber == slow.trackNumber);
    FUZZ_CHECK(fast.disc == slow.disc);
    return 0;
}
