#include "tools/preview-window/suggest_worker.h"

#include <algorithm>
#include <string>

SuggestWorker::SuggestWorker(const PreviewRows& rows, std::shared_mutex& rowsLock,
                             std::size_t rowCount, std::size_t top,
                             std::function<void()> done)
    : rows_(rows), rowsLock_(rowsLock), done_(std::move(done)),
      thread_([this, rowCount, top] { Run(rowCount, top); }) {}

SuggestWorker::~SuggestWorker() { thread_.join(); }

bool SuggestWorker::Take(Suggestions& out) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!finished_) return false;
    out = suggestions_;
    return true;
}

// The paths are copied out first, so that the rows are locked only as long
// as that takes and a new folder's walk can clear them meanwhile.
void SuggestWorker::Run(std::size_t rowCount, std::size_t top) {
    SuggestionInput input;
    {
        std::shared_lock<std::shared_mutex> lock(rowsLock_);
        const std::size_t count = std::min(rowCount, rows_.Size());
        input.paths.reserve(count);
        for (std::size_t row = 0; row < count; ++row) {
            const PreviewFile& file = rows_.File(row);
            if (!WouldBeTagged(file) || file.problem != PathProblem::None) continue;
            input.paths.push_back(file.path);
            input.below = file.relativeStart;
        }
    }
    // The set and the single layouts are judged apart, each on a thread: the
    // wait is the longer of the two, not their sum.
    Suggestions suggestions;
    std::thread singles([&] { suggestions.singles = SuggestPatterns(input, top); });
    suggestions.set = SuggestSet(input);
    singles.join();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        suggestions_ = std::move(suggestions);
        finished_ = true;
    }
    done_();
}
