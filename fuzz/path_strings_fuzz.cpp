// Any text as a path: every helper stays within its 260-character result,
// says so when it cut one (only a full result can be cut, and nothing of a
// path that fits is), and the pieces of a path that fits put it back
// together.
#include <string>

#include "fuzz/fuzz_input.h"
#include "hostenv/path_strings.h"

namespace {

std::string Apply(bool (*f)(const char*, PathText&), const std::string& path) {
    PathText out;
    const bool whole = f(path.c_str(), out);
    FUZZ_CHECK(BoundedLength(out.CStr(), PathText::kCapacity) < PathText::kCapacity);
    FUZZ_CHECK(whole || out.Length() == PathText::kMaxLength);
    FUZZ_CHECK(whole || path.size() > PathText::kMaxLength);
    return out.CStr();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = UpToNul(std::string(reinterpret_cast<const char*>(data), size));
    const std::string folder = Apply(GetFolderPart, path);
    const std::string name = Apply(GetFileNamePart, path);
    const std::string stem = Apply(StripExtension, path);
    const std::string extension = Apply(GetExtension, path);
    Apply(GetBaseName, path);
    Apply(GetLastFolderName, path);
    FUZZ_CHECK(!extension.empty() && extension[0] == '.');
    if (path.size() < kMaxPathText) {
        const bool hasFolder = path.find('\\') != std::string::npos;
        FUZZ_CHECK((hasFolder ? folder + name : name) == path);
        FUZZ_CHECK(stem == path || stem + extension == path);
    }
    PathText appended;
    if (appended.Assign(path.c_str())) {
        const bool whole = AppendBackslash(appended);
        FUZZ_CHECK(appended.Length() < PathText::kCapacity);
        FUZZ_CHECK(whole == (path.empty() || appended.Last() == '\\'));
    }
    char bounded[16];
    const bool copied = CopyStringBounded(bounded, path.c_str(), 1 + size % sizeof bounded);
    FUZZ_CHECK(copied == (path.size() <= size % sizeof bounded));
    FUZZ_CHECK(std::string(bounded) == path.substr(0, size % sizeof bounded));
    return 0;
}
