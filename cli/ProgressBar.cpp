#include "ProgressBar.h"

#include <string>

void ProgressBar::Show(int percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
    std::fprintf(terminal_, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(terminal_);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (drawn_)
        std::fputc('\n', terminal_);
    drawn_ = false;
}
