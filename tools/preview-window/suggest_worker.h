// Ranks the candidate layouts against the folder's files on a thread of its
// own, so that the window answers while a large tree is tried.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "tagging/pattern_suggest.h"
#include "tools/preview-window/preview_rows.h"

class SuggestWorker {
public:
    // Tries the first rowCount rows, read under a shared lock of rowsLock,
    // each as seen from the folder; done is called on the worker's thread
    // once the suggestions can be taken.
    SuggestWorker(const PreviewRows& rows, std::shared_mutex& rowsLock, std::size_t rowCount,
                  std::size_t top, std::function<void()> done);
    // Waits for the ranking in progress: it cannot be stopped half way.
    ~SuggestWorker();
    SuggestWorker(const SuggestWorker&) = delete;
    SuggestWorker& operator=(const SuggestWorker&) = delete;

    // False until done has been called.
    bool Take(std::vector<PatternSuggestion>& out);

private:
    void Run(std::size_t rowCount, std::size_t top);

    const PreviewRows& rows_;
    std::shared_mutex& rowsLock_;
    std::function<void()> done_;
    std::mutex mutex_;
    std::vector<PatternSuggestion> suggestions_;
    bool finished_ = false;
    std::thread thread_;
};
