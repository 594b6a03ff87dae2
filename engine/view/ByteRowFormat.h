#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ByteRowLayout.h"
#include "Charset.h"
#include "CodeTable.h"

// How the byte viewer turns the bytes of text into glyphs.
struct ByteDecoding {
    enum class Input { Ebcdic, Ascii };
    ByteDecoding() = default;
    ByteDecoding(Input input, const CodeTable* table = nullptr, std::optional<::Charset> set = std::nullopt)
        : Charset(input), Table(table), Set(set) {}

    Input Charset = Input::Ascii;
    // EBCDIC to ASCII; nullptr when none is loaded, and EBCDIC then shows
    // as hex only.
    const CodeTable* Table = nullptr;
    // The tables' character set the glyphs are read in; nothing: the
    // window's own, windows-1251 (a viewer's Open puts in its tables').
    std::optional<::Charset> Set;

    bool Decodes() const { return Charset == Input::Ascii || Table != nullptr; }
};

// One row of the byte viewer as text: its label, its bytes in hex and their
// decoded glyphs, with the column of every byte in each, so that a view can
// map a click to a byte and a byte to the place to highlight.
struct FormattedRow {
    std::string Label;
    std::string Hex;
    std::u16string Text;             // empty when the decoding cannot decode
    std::vector<std::uint16_t> HexColumn;   // per byte: column of its first digit
    std::vector<std::uint16_t> TextColumn;  // per byte: column of its first glyph
};

// Field 1 to 14 of a byte at position 0 to 59 within a record.
int FieldOfRecordByte(std::size_t position);

// The glyph for a byte already in ASCII (the set's): '.' where it has none
// or is a control character.
char16_t GlyphOf(std::uint8_t byte, Charset set = Charset::Windows1251);

// The label, the hex and (if the decoding decodes) the glyphs of row, whose
// bytes are bytes[0..n); n may fall short of the row's length when the file
// shrank, and only n bytes are shown. In a record the hex is grouped by the
// 14 fields, the glyphs too, field 13 always as hex.
FormattedRow FormatByteRow(const ByteRowLayout::Row& row, const std::uint8_t* bytes, std::size_t n,
                           const ByteDecoding& decoding);

// Only the glyphs, for a second decoding shown beside the first.
std::u16string DecodeByteRow(const ByteRowLayout::Row& row, const std::uint8_t* bytes,
                             std::size_t n, const ByteDecoding& decoding,
                             std::vector<std::uint16_t>* columns = nullptr);
