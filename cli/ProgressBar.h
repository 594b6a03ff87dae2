#pragma once

#include <cstdio>

// A one-line percentage bar redrawn in place on a terminal.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* terminal) : terminal_(terminal) {}
    void Show(int percent);
    // Ends the line if anything was drawn.
    void Finish();

private:
    std::FILE* terminal_;
    bool drawn_ = false;
};
