#pragma once

#include <cstdint>

// How the byte viewer cuts a file into rows. Row numbers and offsets are
// 64-bit, and a row is found by arithmetic alone: nothing is kept per row.
//
// Records: per whole 2048-byte block one row for its 8-byte header and one
// per 60-byte record; whatever follows the last whole block shows as plain
// 16-byte rows outside any block. Plain: 16 bytes a row, for any file.
class ByteRowLayout {
public:
    enum class Kind { Records, Plain };
    enum class RowKind { BlockHeader, Record, Trailing, Plain };

    static constexpr std::uint64_t kPlainRowBytes = 16;
    static constexpr std::uint64_t kRowsPerBlock = 35;  // the header and 34 records

    struct Row {
        RowKind Kind;
        std::uint64_t Offset;
        std::uint32_t Length;   // fewer than the full width only for the file's last row
        std::uint64_t Block;    // from 1; 0 outside any block
        std::uint32_t Record;   // slot 1 to 34 within the block; 0 otherwise
    };

    ByteRowLayout(Kind kind, std::uint64_t fileSize);

    Kind LayoutKind() const { return kind_; }
    std::uint64_t FileSize() const { return size_; }
    std::uint64_t RowCount() const { return rows_; }
    std::uint64_t WholeBlocks() const { return blocks_; }

    // row < RowCount().
    Row RowAt(std::uint64_t row) const;
    // The row holding offset; the last row for an offset at or past the end.
    std::uint64_t RowOf(std::uint64_t offset) const;

    // The records layout is the default when the file holds a whole block.
    static Kind DefaultFor(std::uint64_t fileSize);

private:
    Kind kind_;
    std::uint64_t size_;
    std::uint64_t blocks_;
    std::uint64_t rows_;
};
