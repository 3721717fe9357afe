#include "tools/preview-window/match_worker.h"

#include <algorithm>

MatchWorker::MatchWorker(const PreviewRows& rows, std::shared_mutex& rowsLock,
                         std::function<void()> finished)
    : rows_(rows), rowsLock_(rowsLock), finished_(std::move(finished)),
      thread_([this] { Run(); }) {}

MatchWorker::~MatchWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void MatchWorker::Request(std::uint32_t generation, const PatternChoice& choice,
                          std::size_t rowCount) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = Job{generation, choice, rowCount};
        pending_ = true;
    }
    wake_.notify_one();
}

bool MatchWorker::Take(ValueTable& out, std::uint32_t& generation) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!haveDone_) return false;
    std::swap(out, done_);
    generation = doneGeneration_;
    haveDone_ = false;
    return true;
}

bool MatchWorker::Superseded() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_ || pending_;
}

// Rows are read in runs, so that rows can be added between them.
bool MatchWorker::MatchAll(const Job& job, ValueTable& table) {
    constexpr std::size_t kRun = 4096;
    table.Start(job.choice);
    for (std::size_t row = 0; row < job.rowCount;) {
        if (Superseded()) return false;
        std::shared_lock<std::shared_mutex> lock(rowsLock_);
        // The rows may have been cleared for another folder meanwhile.
        const std::size_t end = std::min({job.rowCount, row + kRun, rows_.Size()});
        if (row >= end) return false;
        for (; row < end; ++row) table.AddRow(rows_.File(row).path);
    }
    return true;
}

void MatchWorker::Run() {
    ValueTable table;
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return pending_ || stopping_; });
            if (stopping_) return;
            job = job_;
            pending_ = false;
        }
        if (!MatchAll(job, table)) continue;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            std::swap(done_, table);
            doneGeneration_ = job.generation;
            haveDone_ = true;
        }
        finished_();
    }
}
