#include "tools/preview-window/folder_walk.h"

#include <windows.h>

#include <algorithm>

#include "decoders/decoder_catalogue.h"
#include "hostenv/path_strings.h"
#include "tools/preview-window/code_page_text.h"
#include "util/ascii_case.h"

namespace {

// Often enough for the list to grow visibly, seldom enough to cost nothing.
constexpr unsigned long kHandEveryMs = 100;

struct Entry {
    std::wstring name;
    std::string hostName;  // as the host's code page spells it
    bool folder;
};

// As the File column sorts; names the code page spells alike in the order
// of their own characters.
bool ByNameIgnoringCase(const Entry& a, const Entry& b) {
    const int c = CompareIgnoringAsciiCase(a.hostName, b.hostName);
    return c != 0 ? c < 0 : a.name < b.name;
}

// What the plugin would find for the extension. Only reads the decoder's
// entry points; nothing of it is called.
DecoderStatus StatusOfDecoderFor(const char* extension) {
    const DecoderEntry* decoder = FindDecoderForExtension(extension);
    if (!decoder) return DecoderStatus::None;
    return decoder->setIDTagElement ? DecoderStatus::Writes : DecoderStatus::CannotWrite;
}

// Files whose paths pass the platform's path limit are found too, through
// its long-path form.
std::wstring SearchSpec(const std::wstring& folder) {
    const bool drivePath = folder.size() > 2 && folder[1] == L':' && folder[2] == L'\\';
    const bool long_ = folder.size() + 2 >= MAX_PATH;
    if (long_ && drivePath) return L"\\\\?\\" + folder + L"*";
    if (long_ && folder.rfind(L"\\\\", 0) == 0 && folder.rfind(L"\\\\?\\", 0) != 0) {
        return L"\\\\?\\UNC\\" + folder.substr(2) + L"*";
    }
    return folder + L"*";
}

}  // namespace

FolderWalk::FolderWalk(const std::string& folder, bool hostDecodersFound,
                       std::function<void()> arrived)
    : root_(folder), hostDecodersFound_(hostDecodersFound), arrived_(std::move(arrived)) {
    if (!root_.empty() && root_.back() != '\\') root_ += '\\';
    wideRoot_ = WideFromCodePage(root_);
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
    if (!wideRoot_.empty()) WalkFolder(wideRoot_);
    Hand(true);
}

// Each folder's entries in name order, so the list reads like the tree. Read
// by their own names, so that a folder named outside the code page is entered
// too. A folder that is a link to elsewhere is not entered: it may lead back
// up the tree.
void FolderWalk::WalkFolder(const std::wstring& folder) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(SearchSpec(folder).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            if (isFolder && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            bool exact = true;
            entries.push_back({name, InCodePage(name, exact), isFolder});
        } while (!stopping_ && FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(entries.begin(), entries.end(), ByNameIgnoringCase);
    for (const Entry& entry : entries) {
        if (stopping_) return;
        const std::wstring path = folder + entry.name;
        if (entry.folder) {
            WalkFolder(path + L'\\');
        } else {
            AddFile(path);
        }
    }
}

void FolderWalk::AddFile(const std::wstring& path) {
    PreviewFile file;
    bool exact = true;
    file.path = InCodePage(path, exact);
    file.relativeStart = std::uint16_t(root_.size());
    if (!exact) {
        file.problem = PathProblem::OutsideCodePage;
        file.wideRelativePath = path.substr(wideRoot_.size());
    } else if (file.path.size() > PathText::kMaxLength) {
        file.problem = PathProblem::TooLong;
    }
    // As GetExtension finds it, with no path text to cut it.
    const std::size_t stem = StemLength(file.path.c_str(), file.path.size());
    file.extension = stem == file.path.size() ? "." : file.path.substr(stem);
    file.decoder = DecoderFor(file.extension);
    found_.push_back(std::move(file));
    if (GetTickCount() - lastHandedTicks_ >= kHandEveryMs) Hand(false);
}

DecoderStatus FolderWalk::DecoderFor(const std::string& extension) {
    if (!hostDecodersFound_) return DecoderStatus::HostNotFound;
    std::string key = extension;
    CharLowerA(key.data());
    auto it = decoders_.find(key);
    if (it == decoders_.end()) it = decoders_.emplace(key, StatusOfDecoderFor(key.c_str())).first;
    return it->second;
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
