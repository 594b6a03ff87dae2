#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

// The messages of a whole batch on stderr, and on a terminal one progress
// line for all its files: files done of total, bytes, rate and time left.
// A stream's size is not known in advance, so it counts bytes and blocks.
// The runs' threads count blocks and files; a thread of its own redraws
// the line a few times a second, so the runs never wait for the terminal.
class BatchProgress {
public:
    // totalBytes < 0: the size is unknown (standard input).
    BatchProgress(std::FILE* terminal, bool draw, int totalFiles, std::int64_t totalBytes);
    ~BatchProgress();
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    void BlockDone() { blocks_.fetch_add(1, std::memory_order_relaxed); }
    void FileDone() { files_.fetch_add(1, std::memory_order_relaxed); }

    // One line on stderr ("mavik-convert: " is added), in place of the
    // progress line, which is drawn again below it.
    void Say(const std::string& line);

    // Draws the line a last time and ends it; stops the redrawing.
    void Finish();
    // Ends a line being drawn, for a process that is about to end.
    void Abandon();

private:
    void Redraw();
    std::string Line() const;

    std::FILE* terminal_;
    bool draw_;
    int totalFiles_;
    std::int64_t totalBytes_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::atomic<std::int64_t> blocks_{0};
    std::atomic<int> files_{0};

    std::mutex mutex_;  // the terminal
    std::condition_variable wake_;
    std::atomic<bool> drawn_{false};
    bool finished_ = false;
    std::thread ticker_;
};
