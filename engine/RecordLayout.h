#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// How the records of a file lie in it: 60-byte records in 2048-byte blocks
// (an input, or a binary .asc/.ebs output), or one text line per record as
// the converter writes them, formatted or raw, with a non-empty separator.
enum class LayoutKind { Block, Formatted, Raw };
enum class BlockCode { Ebcdic, Ascii };

// Where a field's bytes lie within one record's bytes (the 60 record bytes
// of a block file, or the text line).
struct FieldPlace {
    std::size_t Offset;
    std::size_t Width;
};

inline constexpr int kFieldCount = 14;

struct RecordLayout {
    LayoutKind Kind = LayoutKind::Block;
    BlockCode Code = BlockCode::Ascii;  // block files only
    std::string Separator;              // text layouts only; never empty there

    static RecordLayout Block(BlockCode code);
    static RecordLayout Formatted(std::string separator);
    static RecordLayout Raw(std::string separator);

    bool IsText() const { return Kind != LayoutKind::Block; }

    // A text line with its CR LF: 73 + 13*s formatted, 62 + 13*s raw.
    std::size_t LineLength() const;

    // Records in a file of this size: 34 per whole block, or whole lines.
    std::uint64_t RecordCount(std::uint64_t fileSize) const;

    // The file offset of record i (from 0) and how many bytes it spans.
    std::uint64_t RecordOffset(std::uint64_t i) const;
    std::size_t RecordBytes() const;

    // Field n (1-14) within a record's bytes.
    FieldPlace Field(int n) const;

    // "EBCDIC call records", "formatted lines, separator \"*\"" and the like.
    std::string Describe() const;
};

// Widths of the fields as the text layouts show them.
inline constexpr std::array<std::size_t, 14> kFormattedWidths{1, 3, 8, 15, 5, 8, 8, 6, 2, 2, 1, 1, 10, 1};
inline constexpr std::array<std::size_t, 14> kRawWidths{1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1};
