#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What the user typed into "Go to": an offset (decimal, or hex after 0x),
// a block ("b 12", "block 12") or a record ("r 300", "record 300"). Blocks
// and records count from 1; a record number counts across blocks, 34 a
// block; an offset counts bytes from 0.
struct GoToTarget {
    enum class Kind { Offset, Block, Record, Line };
    Kind What;
    std::uint64_t Value;

    // The first byte of the target; nothing for a block or record number 0.
    std::optional<std::uint64_t> Offset() const;
};

// Nothing when the text is not one of the forms above or the number does
// not fit 64 bits. allowLines: a bare number is a line number (from 1), as
// in the text viewer, and "0x" stays an offset.
std::optional<GoToTarget> ParseGoTo(std::string_view text, bool allowLines = false);
