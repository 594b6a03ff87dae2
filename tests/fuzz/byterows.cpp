// Byte rows: the byte viewer's row layout and row text, for any file size
// up to 2^63 and any place in it.
// Input: 8 bytes of file size, 8 bytes of an offset, a byte of flags, then
// the bytes a row shows.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "ByteRowFormat.h"
#include "ByteRowLayout.h"
#include "FuzzCheck.h"

namespace {

std::uint64_t Word(const std::uint8_t* at) {
    std::uint64_t w = 0;
    std::memcpy(&w, at, 8);
    return w;
}

void CheckRowText(const ByteRowLayout::Row& row, const std::uint8_t* bytes, std::size_t n, const ByteDecoding& decoding) {
    const FormattedRow f = FormatByteRow(row, bytes, n, decoding);
    FUZZ_CHECK(f.HexColumn.size() == n);
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < n; ++i) {
        // Each byte's two hex digits stand at its column, left to right.
        FUZZ_CHECK(f.HexColumn[i] + 2u <= f.Hex.size());
        FUZZ_CHECK(i == 0 || f.HexColumn[i] > f.HexColumn[i - 1] + 1u);
        const char hi = f.Hex[f.HexColumn[i]], lo = f.Hex[f.HexColumn[i] + 1u];
        FUZZ_CHECK((hi == kDigits[bytes[i] >> 4] || hi == static_cast<char>(std::tolower(kDigits[bytes[i] >> 4]))) &&
                   (lo == kDigits[bytes[i] & 15] || lo == static_cast<char>(std::tolower(kDigits[bytes[i] & 15]))));
    }
    if (decoding.Decodes()) {
        FUZZ_CHECK(f.TextColumn.size() == n);
        for (std::size_t i = 0; i < n; ++i) {
            FUZZ_CHECK(f.TextColumn[i] < f.Text.size());
            FUZZ_CHECK(i == 0 || f.TextColumn[i] > f.TextColumn[i - 1]);
        }
        std::vector<std::uint16_t> columns;
        FUZZ_CHECK(DecodeByteRow(row, bytes, n, decoding, &columns) == f.Text);
        FUZZ_CHECK(columns == f.TextColumn);
    } else {
        FUZZ_CHECK(f.Text.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 17)
        return 0;
    std::uint64_t fileSize = Word(data) & ((std::uint64_t{1} << 63) - 1);
    const std::uint8_t flags = data[16];
    if (flags & 1)
        fileSize %= 1 << 16;
    const std::uint64_t offset = fileSize == 0 ? 0 : Word(data + 8) % fileSize;
    const std::uint8_t* bytes = data + 17;
    const std::size_t n = size - 17;

    for (const auto kind : {ByteRowLayout::Kind::Records, ByteRowLayout::Kind::Plain}) {
        const ByteRowLayout layout(kind, fileSize);
        if (fileSize == 0) {
            FUZZ_CHECK(layout.RowCount() == 0);
            continue;
        }
        // The rows cover the file without gap or overlap: the first starts
        // at 0, each where the one before ends, the last ends at the end;
        // around the row of the offset, and at both ends.
        FUZZ_CHECK(layout.RowCount() > 0);
        FUZZ_CHECK(layout.RowAt(0).Offset == 0);
        const ByteRowLayout::Row last = layout.RowAt(layout.RowCount() - 1);
        FUZZ_CHECK(last.Offset + last.Length == fileSize);
        const std::uint64_t at = layout.RowOf(offset);
        FUZZ_CHECK(at < layout.RowCount());
        const std::uint64_t from = at > 40 ? at - 40 : 0;
        const std::uint64_t to = std::min(at + 40, layout.RowCount() - 1);
        for (std::uint64_t r = from; r <= to; ++r) {
            const ByteRowLayout::Row row = layout.RowAt(r);
            FUZZ_CHECK(row.Length > 0);
            if (r + 1 < layout.RowCount())
                FUZZ_CHECK(layout.RowAt(r + 1).Offset == row.Offset + row.Length);
            // Each byte of a row is found in that row.
            FUZZ_CHECK(layout.RowOf(row.Offset) == r && layout.RowOf(row.Offset + row.Length - 1) == r);
            if (kind == ByteRowLayout::Kind::Records && row.Kind == ByteRowLayout::RowKind::Record) {
                FUZZ_CHECK(row.Record >= 1 && row.Record <= 34 && row.Block >= 1);
                FUZZ_CHECK(row.Offset == (row.Block - 1) * 2048 + 8 + (row.Record - 1) * 60u);
            }
        }
        FUZZ_CHECK(layout.RowOf(fileSize) == layout.RowCount() - 1);
        FUZZ_CHECK(layout.RowOf(UINT64_MAX) == layout.RowCount() - 1);

        // The row's text, for as many of its bytes as the input has.
        const ByteRowLayout::Row row = layout.RowAt(at);
        const std::size_t shown = std::min<std::size_t>(n, row.Length);
        static const CodeTable identity = [] {
            CodeTable t{};
            for (std::size_t i = 0; i < t.size(); ++i)
                t[i] = static_cast<std::uint8_t>(i);
            return t;
        }();
        CheckRowText(row, bytes, shown, {ByteDecoding::Input::Ascii, nullptr});
        CheckRowText(row, bytes, shown, {ByteDecoding::Input::Ebcdic, (flags & 2) ? &identity : nullptr});
    }
    return 0;
}
