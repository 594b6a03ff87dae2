#include "ByteRowFormat.h"

#include <cstdio>

#include "CallRecordBlock.h"
#include "HexDigits.h"

namespace {

// Between fields of a record's glyphs: a character no byte decodes to.
constexpr char16_t kFieldBorder = u'\u2502';

void AppendHex(std::string& out, std::uint8_t byte) {
    char digits[2];
    PutHex(byte, digits);
    out.append(digits, 2);
}

std::string LabelOf(const ByteRowLayout::Row& row) {
    char label[64];
    const auto offset = static_cast<unsigned long long>(row.Offset);
    const auto block = static_cast<unsigned long long>(row.Block);
    switch (row.Kind) {
    case ByteRowLayout::RowKind::BlockHeader:
        std::snprintf(label, sizeof label, "B%-9llu hdr %010llX", block, offset);
        break;
    case ByteRowLayout::RowKind::Record:
        std::snprintf(label, sizeof label, "B%-9llu R%02u %010llX", block, row.Record, offset);
        break;
    case ByteRowLayout::RowKind::Trailing:
        std::snprintf(label, sizeof label, "%-10s --- %010llX", "no block", offset);
        break;
    case ByteRowLayout::RowKind::Plain:
        std::snprintf(label, sizeof label, "%010llX", offset);
        break;
    }
    return label;
}

}  // namespace

int FieldOfRecordByte(std::size_t position) {
    for (std::size_t f = 0; f < kCallRecordFields.size(); ++f)
        if (position < kCallRecordFields[f].Offset + kCallRecordFields[f].Width)
            return static_cast<int>(f + 1);
    return 0;
}

namespace {

// Byte i of a record begins another field than the byte before it.
bool StartsField(std::size_t i) { return i > 0 && FieldOfRecordByte(i) != FieldOfRecordByte(i - 1); }

}  // namespace

char16_t GlyphOf(std::uint8_t byte, Charset set) {
    if (byte < 0x20 || byte == 0x7F || byte == 0xAD)
        return u'.';
    const char16_t c = CharOfByte(set, byte);
    return c == 0 || (c >= 0x80 && c < 0xA0) ? u'.' : c;
}

std::u16string DecodeByteRow(const ByteRowLayout::Row& row, const std::uint8_t* bytes,
                             std::size_t n, const ByteDecoding& decoding,
                             std::vector<std::uint16_t>* columns) {
    std::u16string text;
    if (columns)
        columns->clear();
    if (!decoding.Decodes())
        return text;
    const bool ebcdic = decoding.Charset == ByteDecoding::Input::Ebcdic;
    const Charset set = decoding.Set.value_or(Charset::Windows1251);
    const bool record = row.Kind == ByteRowLayout::RowKind::Record;
    for (std::size_t i = 0; i < n; ++i) {
        if (record && StartsField(i))
            text.push_back(kFieldBorder);
        if (columns)
            columns->push_back(static_cast<std::uint16_t>(text.size()));
        if (record && FieldOfRecordByte(i) == 13) {
            // Binary: no table applies and no glyph would mean anything.
            char16_t digits[2];
            PutHex(bytes[i], digits);
            text.append(digits, 2);
            continue;
        }
        text.push_back(GlyphOf(ebcdic ? (*decoding.Table)[bytes[i]] : bytes[i], set));
    }
    return text;
}

FormattedRow FormatByteRow(const ByteRowLayout::Row& row, const std::uint8_t* bytes, std::size_t n,
                           const ByteDecoding& decoding) {
    FormattedRow out;
    out.Label = LabelOf(row);
    out.HexColumn.reserve(n);
    const bool record = row.Kind == ByteRowLayout::RowKind::Record;
    for (std::size_t i = 0; i < n; ++i) {
        if (record) {
            // Digits of one field run together; a blank marks each border.
            if (StartsField(i))
                out.Hex.push_back(' ');
        } else if (i > 0) {
            out.Hex.push_back(' ');
            if (i == 8 && row.Kind != ByteRowLayout::RowKind::BlockHeader)
                out.Hex.push_back(' ');
        }
        out.HexColumn.push_back(static_cast<std::uint16_t>(out.Hex.size()));
        AppendHex(out.Hex, bytes[i]);
    }
    out.Text = DecodeByteRow(row, bytes, n, decoding, &out.TextColumn);
    return out;
}
