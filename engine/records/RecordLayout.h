#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "CallRecordBlock.h"
#include "FieldForm.h"

// How the records of a file lie in it: 60-byte records in 2048-byte blocks
// (an input, or a binary .asc/.ebs output), or one text line per record as
// the converter writes them, formatted or raw, with a non-empty separator.
enum class LayoutKind { Block, Formatted, Raw };
enum class BlockCode { Ebcdic, Ascii };

inline constexpr int kFieldCount = 14;
// A text line has a separator after each field but the last.
inline constexpr std::size_t kSeparatorsPerLine = kFieldCount - 1;

// Widths of the fields as the text layouts show them: a raw line shows the
// record's own fields, a formatted line each field's form (FieldForm).
inline constexpr std::array<std::size_t, 14> kRawWidths = [] {
    std::array<std::size_t, 14> widths{};
    for (std::size_t i = 0; i < widths.size(); ++i)
        widths[i] = kCallRecordFields[i].Width;
    return widths;
}();
inline constexpr std::array<std::size_t, 14> kFormattedWidths = [] {
    std::array<std::size_t, 14> widths{};
    for (int n = 1; n <= 14; ++n)
        widths[static_cast<std::size_t>(n - 1)] = FormattedWidth(n);
    return widths;
}();

// The characters of a line's fields, without separators or line end.
constexpr std::size_t FieldChars(const std::array<std::size_t, 14>& widths) {
    std::size_t sum = 0;
    for (std::size_t w : widths)
        sum += w;
    return sum;
}
inline constexpr std::size_t kFormattedFieldChars = FieldChars(kFormattedWidths);
inline constexpr std::size_t kRawFieldChars = FieldChars(kRawWidths);

// A text line's length with its CR LF, for a separator of separatorSize
// bytes: 73 + 13*s formatted, 62 + 13*s raw. The writers ask it per line.
constexpr std::size_t TextLineLength(LayoutKind kind, std::size_t separatorSize) {
    return (kind == LayoutKind::Formatted ? kFormattedFieldChars : kRawFieldChars) +
           kSeparatorsPerLine * separatorSize + 2;
}
static_assert(TextLineLength(LayoutKind::Formatted, 1) == 86 && TextLineLength(LayoutKind::Raw, 0) == 62);

struct RecordLayout {
    LayoutKind Kind = LayoutKind::Block;
    BlockCode Code = BlockCode::Ascii;  // block files only
    std::string Separator;              // text layouts only; never empty there

    static RecordLayout Block(BlockCode code);
    static RecordLayout Formatted(std::string separator);
    static RecordLayout Raw(std::string separator);

    bool IsText() const { return Kind != LayoutKind::Block; }

    // A text line with its CR LF (TextLineLength).
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
