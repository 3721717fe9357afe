// Matches every row again on a thread of its own, so that typing never waits
// for a whole folder: the window shows the rows in view at once, and the
// counts and sorting follow when the worker's table arrives. A newer request
// abandons the pass in progress.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "tools/preview-window/preview_rows.h"

class MatchWorker {
public:
    // rows is read under a shared lock of rowsLock, which whoever adds rows
    // holds exclusively. finished is called on the worker's thread whenever
    // a table is ready to be taken.
    MatchWorker(const PreviewRows& rows, std::shared_mutex& rowsLock,
                std::function<void()> finished);
    ~MatchWorker();
    MatchWorker(const MatchWorker&) = delete;
    MatchWorker& operator=(const MatchWorker&) = delete;

    // Matches the first rowCount rows with the choice, as generation.
    void Request(std::uint32_t generation, const PatternChoice& choice, std::size_t rowCount);
    // Moves the table of the newest finished request into out and says of
    // which generation it is; false when none has finished since the last
    // Take.
    bool Take(ValueTable& out, std::uint32_t& generation);

private:
    struct Job {
        std::uint32_t generation = 0;
        PatternChoice choice;
        std::size_t rowCount = 0;
    };

    void Run();
    bool MatchAll(const Job& job, ValueTable& table);
    bool Superseded();

    const PreviewRows& rows_;
    std::shared_mutex& rowsLock_;
    std::function<void()> finished_;

    std::mutex mutex_;
    std::condition_variable wake_;
    Job job_;
    bool pending_ = false;
    bool stopping_ = false;
    ValueTable done_;
    std::uint32_t doneGeneration_ = 0;
    bool haveDone_ = false;
    std::thread thread_;
};
