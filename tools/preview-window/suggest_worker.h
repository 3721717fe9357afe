// Proposes a set of patterns for the folder's files, and ranks the single
// layouts, on a thread of its own, so that the window answers while a large
// tree is tried. Only the files the plugin would tag are counted.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "tagging/pattern_suggest.h"
#include "tools/preview-window/preview_rows.h"

struct Suggestions {
    std::vector<PatternSuggestion> set;  // in the order the plugin tries them
    std::vector<PatternSuggestion> singles;
};

class SuggestWorker {
public:
    // Tries the first rowCount rows, read under a shared lock of rowsLock,
    // as whole paths; done is called on the worker's thread once the
    // suggestions can be taken. At most top single layouts.
    SuggestWorker(const PreviewRows& rows, std::shared_mutex& rowsLock, std::size_t rowCount,
                  std::size_t top, std::function<void()> done);
    // Waits for the ranking in progress: it cannot be stopped half way.
    ~SuggestWorker();
    SuggestWorker(const SuggestWorker&) = delete;
    SuggestWorker& operator=(const SuggestWorker&) = delete;

    // False until done has been called.
    bool Take(Suggestions& out);

private:
    void Run(std::size_t rowCount, std::size_t top);

    const PreviewRows& rows_;
    std::shared_mutex& rowsLock_;
    std::function<void()> done_;
    std::mutex mutex_;
    Suggestions suggestions_;
    bool finished_ = false;
    std::thread thread_;
};
