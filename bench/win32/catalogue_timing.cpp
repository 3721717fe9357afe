// catalogue_timing LOOKUPS
//
// In a fresh process: the first FindDecoderForExtension, which builds the
// catalogue from this program's decoder folder, then LOOKUPS later lookups
// of an extension declared first and of one declared by no decoder (the
// whole list is scanned). Prints "name value" lines.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/win32/stopwatch.h"
#include "decoders/decoder_catalogue.h"

namespace {

// Nanoseconds per lookup; found counts the hits so the calls cannot be
// dropped.
double NanosecondsPerLookup(const char* extension, long lookups, long& found) {
    const double start = SecondsNow();
    for (long i = 0; i < lookups; ++i) found += FindDecoderForExtension(extension) != nullptr;
    return (SecondsNow() - start) * 1e9 / static_cast<double>(lookups);
}

}  // namespace

int main(int argc, char** argv) {
    const long lookups = argc == 2 ? std::atol(argv[1]) : 0;
    if (lookups <= 0) {
        std::fputs("usage: catalogue_timing LOOKUPS\n", stderr);
        return 2;
    }
    const double start = SecondsNow();
    const bool firstFound = FindDecoderForExtension(".mp3") != nullptr;
    const double firstSeconds = SecondsNow() - start;
    const DecoderCatalogue* catalogue = GetDecoderCatalogue();
    long found = 0;
    const double hitNs = NanosecondsPerLookup(".MP3", lookups, found);
    const double missNs = NanosecondsPerLookup(".xyz", lookups, found);
    std::printf("decoders %d\nformats %d\n", int(catalogue->decoders.count),
                int(catalogue->formats.count));
    std::printf("first_lookup_seconds %.6f\nfirst_found %d\n", firstSeconds, int(firstFound));
    std::printf("hit_ns %.2f\nmiss_ns %.2f\nhits %ld\n", hitNs, missNs, found);
    return 0;
}
