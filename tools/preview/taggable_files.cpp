#include "tools/preview/taggable_files.h"

#include "tagging/pattern_suggest.h"

#ifdef _WIN32

#include "decoders/decoder_catalogue.h"
#include "hostenv/host_folders.h"

TaggableFiles::TaggableFiles() {
    PathText installFolder;
    PathText decoderFolder;
    const DecoderCatalogue* catalogue = nullptr;
    // A folder whose name does not fit is no host this can ask.
    if (GetInstallFolder(installFolder, true) && !installFolder.Empty() &&
        GetInputPluginFolder(decoderFolder, true)) {
        catalogue = GetDecoderCatalogue();
    }
    hostKnown_ = catalogue && catalogue->formats.count > 0;
}

bool TaggableFiles::Taggable(const std::string& path) {
    if (!hostKnown_) return HasCommonAudioExtension(path);
    const std::string extension = LowerCaseExtension(path);
    auto known = byExtension_.find(extension);
    if (known == byExtension_.end()) {
        const DecoderEntry* decoder = FindDecoderForExtension(extension.c_str());
        known = byExtension_.emplace(extension, decoder && decoder->setIDTagElement).first;
    }
    return known->second;
}

#else

TaggableFiles::TaggableFiles() = default;

// No host to ask: the common audio extensions.
bool TaggableFiles::Taggable(const std::string& path) { return HasCommonAudioExtension(path); }

#endif
