#include "ConvToText.h"

#include "ConversionMode.h"

ConvToText::ConvToText(ConvToTextWindow& window, ConvToTextStart start)
    : window_(window), start_(std::move(start)), thread_(&ConvToText::Body, this) {}

ConvToText::~ConvToText() {
    if (thread_.joinable())
        thread_.join();
}

void ConvToText::Body() {
    UpdateGauge(0);
    const std::string separator = FixSeparator(start_.ConversionMode, start_.TabBox1, start_.SeparatorText);
    const ConversionResult result =
        RunConversion(start_.InputPath, start_.OutputPath, separator, start_.Tables, *this);
    window_.ConvTerminate(*this, result);
    finished_ = true;
    window_.RunEnded(*this);
}

void ConvToText::Stop() { converting_ = false; }

void ConvToText::Pause() {
    std::lock_guard lock(gateMutex_);
    paused_ = true;
}

void ConvToText::Resume() {
    {
        std::lock_guard lock(gateMutex_);
        paused_ = false;
    }
    gate_.notify_all();
}

void ConvToText::Abort() {
    Stop();
    Resume();
}

int ConvToText::ConversionMode() const { return window_.ConversionMode(); }
std::int64_t ConvToText::BlockCount() const { return window_.BlockCount(); }
bool ConvToText::FormatBox1() const { return window_.FormatBox1(); }

bool ConvToText::Converting() {
    // The pause holds the run here, between blocks, where it holds nothing
    // the window could need.
    std::unique_lock lock(gateMutex_);
    if (paused_) {
        parked_ = true;
        gate_.wait(lock, [this] { return !paused_; });
        parked_ = false;
    }
    return converting_.load();
}

void ConvToText::UpdateGauge(int progress) {
    progress_ = progress;
    window_.UpdateGauge(*this, progress);
}
