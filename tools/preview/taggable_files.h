// Which files the plugin would tag: those whose extension a decoder of the
// host declares, one that writes tags, where the host is known (the Windows
// build, with the host's InstalledTo recorded and decoders in its folder);
// otherwise those with a common audio extension.
#pragma once

#include <map>
#include <string>

class TaggableFiles {
public:
    TaggableFiles();
    bool Taggable(const std::string& path);

#ifdef _WIN32
private:
    bool hostKnown_ = false;
    std::map<std::string, bool> byExtension_;  // lower case, with the dot
#endif
};
