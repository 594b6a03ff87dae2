#include "BatchProgress.h"

#include "CallRecordBlock.h"

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

std::string Amount(double bytes) {
    char text[32];
    if (bytes < 1024.0 * 1024.0)
        std::snprintf(text, sizeof text, "%.0f KiB", bytes / 1024.0);
    else if (bytes < 1024.0 * 1024.0 * 1024.0)
        std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    else
        std::snprintf(text, sizeof text, "%.2f GiB", bytes / (1024.0 * 1024.0 * 1024.0));
    return text;
}

}  // namespace

BatchProgress::BatchProgress(std::FILE* terminal, bool draw, int totalFiles, std::int64_t totalBytes)
    : terminal_(terminal), draw_(draw), totalFiles_(totalFiles), totalBytes_(totalBytes) {
    if (draw_)
        ticker_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            while (!wake_.wait_for(lock, kRedrawEvery, [this] { return finished_; }))
                Redraw();
        });
}

BatchProgress::~BatchProgress() { Finish(); }

std::string BatchProgress::Line() const {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const std::int64_t blocks = blocks_.load(std::memory_order_relaxed);
    const double bytes = static_cast<double>(blocks) * kBlockSize;
    const double rate = seconds > 0 ? bytes / seconds : 0;
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "%.1f MB/s", rate / 1e6);
    if (totalBytes_ < 0)
        return Amount(bytes) + ", " + std::to_string(blocks) + " blocks, " + rateText;
    std::string line = std::to_string(files_.load(std::memory_order_relaxed)) + "/" +
                       std::to_string(totalFiles_) + " files, " + Amount(bytes) + " of " +
                       Amount(static_cast<double>(totalBytes_)) + ", " + rateText;
    if (rate > 0 && bytes < static_cast<double>(totalBytes_)) {
        const long left = static_cast<long>((static_cast<double>(totalBytes_) - bytes) / rate + 0.5);
        char leftText[32];
        std::snprintf(leftText, sizeof leftText, ", %ld:%02ld left", left / 60, left % 60);
        line += leftText;
    }
    return line;
}

void BatchProgress::Redraw() {
    std::fprintf(terminal_, "\r%s\033[K", Line().c_str());
    std::fflush(terminal_);
    drawn_ = true;
}

void BatchProgress::Say(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (drawn_)
        std::fputs("\r\033[K", terminal_);
    std::fprintf(terminal_, "mavik-convert: %s\n", line.c_str());
    if (drawn_ && !finished_)
        Redraw();
    std::fflush(terminal_);
}

void BatchProgress::Finish() {
    {
        std::lock_guard lock(mutex_);
        if (finished_)
            return;
        finished_ = true;
        if (draw_) {
            Redraw();
            std::fputc('\n', terminal_);
            drawn_ = false;
        }
    }
    wake_.notify_all();
    if (ticker_.joinable())
        ticker_.join();
}

void BatchProgress::Abandon() {
    // No lock: the process ends now, whatever the ticker is doing.
    if (drawn_)
        std::fputc('\n', terminal_);
}
