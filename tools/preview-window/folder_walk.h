// Reads a folder tree on a thread of its own and hands the files over in
// batches, each with what the host's decoder for its extension can do.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/preview-window/preview_rows.h"

class FolderWalk {
public:
    // arrived is called on the walk's thread whenever files wait to be
    // taken, and once more when the walk has ended. Without the host's
    // decoders no file's decoder is looked for.
    FolderWalk(const std::string& folder, bool hostDecodersFound,
               std::function<void()> arrived);
    // Stops the walk where it is and waits for its thread.
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // Moves the files found since the last call into out; true once the
    // walk has ended and nothing is left to take.
    bool Take(std::vector<PreviewFile>& out);

private:
    void Run();
    void WalkFolder(const std::wstring& folder);
    void AddFile(const std::wstring& path);
    DecoderStatus DecoderFor(const std::string& extension);
    void Hand(bool ended);

    std::string root_;
    std::wstring wideRoot_;
    bool hostDecodersFound_;
    std::function<void()> arrived_;
    std::atomic<bool> stopping_{false};
    std::vector<PreviewFile> found_;
    std::map<std::string, DecoderStatus> decoders_;  // by lower-case extension
    unsigned long lastHandedTicks_ = 0;

    std::mutex mutex_;
    std::vector<PreviewFile> waiting_;
    bool ended_ = false;
    std::thread thread_;
};
