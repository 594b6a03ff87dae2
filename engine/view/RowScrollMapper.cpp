#include "RowScrollMapper.h"

#include <algorithm>

int RowScrollMapper::Maximum() const {
    return Scaled() ? kMaxScroll : static_cast<int>(last_);
}

int RowScrollMapper::ValueOf(std::uint64_t row) const {
    row = std::min(row, last_);
    if (!Scaled())
        return static_cast<int>(row);
    // 128-bit products: row × 2^30 overflows 64 bits past 2^34 rows.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(row) * kMaxScroll / last_;
    return static_cast<int>(scaled);
}

std::uint64_t RowScrollMapper::RowOf(int value) const {
    value = std::clamp(value, 0, Maximum());
    if (!Scaled())
        return static_cast<std::uint64_t>(value);
    const unsigned __int128 row = static_cast<unsigned __int128>(value) * last_ / kMaxScroll;
    return static_cast<std::uint64_t>(row);
}
