#pragma once

#include <cstdint>

// Maps a 64-bit first-row number onto an int scroll bar and back. Up to
// kMaxScroll rows the value is the row itself; beyond, the range is scaled
// so that the bar's ends are the first and the last row and every value
// lands on a row.
class RowScrollMapper {
public:
    static constexpr int kMaxScroll = 1 << 30;

    // lastTopRow: the greatest row that may be the first one shown.
    explicit RowScrollMapper(std::uint64_t lastTopRow = 0) : last_(lastTopRow) {}

    std::uint64_t LastTopRow() const { return last_; }
    bool Scaled() const { return last_ > static_cast<std::uint64_t>(kMaxScroll); }

    // The scroll bar's maximum.
    int Maximum() const;
    int ValueOf(std::uint64_t row) const;
    std::uint64_t RowOf(int value) const;

private:
    std::uint64_t last_;
};
