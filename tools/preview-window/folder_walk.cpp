#include "tools/preview-window/folder_walk.h"

#include <windows.h>

#include <algorithm>

#include "decoders/decoder_catalogue.h"
#include "hostenv/file_finder.h"
#include "hostenv/path_strings.h"
#include "util/ascii_case.h"

namespace {

// Often enough for the list to grow visibly, seldom enough to cost nothing.
constexpr unsigned long kHandEveryMs = 100;

struct Entry {
    std::string name;
    bool folder;
};

// As the File column sorts.
bool ByNameIgnoringCase(const Entry& a, const Entry& b) {
    return CompareIgnoringAsciiCase(a.name, b.name) < 0;
}

// What the plugin would find for the extension. Only reads the decoder's
// entry points; nothing of it is called.
DecoderStatus StatusOfDecoderFor(const char* extension) {
    const DecoderEntry* decoder = FindDecoderForExtension(extension);
    if (!decoder) return DecoderStatus::None;
    return decoder->setIDTagElement ? DecoderStatus::Writes : DecoderStatus::CannotWrite;
}

}  // namespace

FolderWalk::FolderWalk(const std::string& folder, std::function<void()> arrived)
    : root_(folder), arrived_(std::move(arrived)) {
    if (!root_.empty() && root_.back() != '\\') root_ += '\\';
    thread_ = std::thread([this] { Run(); });
}

FolderWalk::~FolderWalk() {
    stopping_ = true;
    thread_.join();
}

bool FolderWalk::Take(std::vector<PreviewFile>& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    out = std::move(waiting_);
    waiting_.clear();
    return ended_;
}

void FolderWalk::Run() {
    lastHandedTicks_ = GetTickCount();
    if (!root_.empty()) WalkFolder(root_);
    Hand(true);
}

// Each folder's entries in name order, so the list reads like the tree.
void FolderWalk::WalkFolder(const std::string& folder) {
    std::vector<Entry> entries;
    FileFinder finder("*", folder.c_str());
    while (!stopping_ && finder.Next()) {
        entries.push_back({finder.GetName(), finder.IsDirectory()});
    }
    finder.Close();
    std::sort(entries.begin(), entries.end(), ByNameIgnoringCase);
    for (const Entry& entry : entries) {
        if (stopping_) return;
        const std::string path = folder + entry.name;
        if (entry.folder) {
            WalkFolder(path + '\\');
        } else {
            AddFile(path);
        }
    }
}

void FolderWalk::AddFile(const std::string& path) {
    PreviewFile file;
    file.path = path;
    file.relativeStart = std::uint16_t(root_.size());
    PathText extension;
    GetExtension(path.c_str(), extension);
    file.extension = extension.CStr();
    std::string key = file.extension;
    CharLowerA(key.data());
    auto it = decoders_.find(key);
    if (it == decoders_.end()) it = decoders_.emplace(key, StatusOfDecoderFor(key.c_str())).first;
    file.decoder = it->second;
    found_.push_back(std::move(file));
    if (GetTickCount() - lastHandedTicks_ >= kHandEveryMs) Hand(false);
}

void FolderWalk::Hand(bool ended) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_.empty()) {
            waiting_ = std::move(found_);
        } else {
            waiting_.insert(waiting_.end(), std::make_move_iterator(found_.begin()),
                            std::make_move_iterator(found_.end()));
        }
        found_.clear();
        ended_ = ended;
    }
    lastHandedTicks_ = GetTickCount();
    arrived_();
}
