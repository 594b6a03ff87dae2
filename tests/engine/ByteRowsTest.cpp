// The byte viewer's engine side: rows of a file in the records and plain
// layouts, their hex and glyphs, go-to targets, the scroll mapping, and
// positioned reads of files that are large, sparse or changing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>

#include "ByteRowFormat.h"
#include "ByteRowLayout.h"
#include "FileSource.h"
#include "GoToTarget.h"
#include "IOError.h"
#include "RowScrollMapper.h"
#include "TestFiles.h"

namespace {

using Row = ByteRowLayout::Row;
using RowKind = ByteRowLayout::RowKind;

// Writes bytes at offset into an existing file without truncating it.
void WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(file.is_open());
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
}

// A table that is no identity: each byte decodes to its bitwise complement.
CodeTable ComplementTable() {
    CodeTable table;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(255 - i);
    return table;
}

Bytes Complemented(const std::string& text) {
    Bytes bytes;
    for (char c : text)
        bytes.push_back(static_cast<std::uint8_t>(255 - static_cast<std::uint8_t>(c)));
    return bytes;
}

}  // namespace

TEST(ByteRowLayout, RecordsRowsCoverEveryBlockThenTheTrailingPart) {
    // Two whole blocks and 40 bytes after them.
    const ByteRowLayout layout(ByteRowLayout::Kind::Records, 2 * 2048 + 40);
    EXPECT_EQ(layout.RowCount(), 2u * 35 + 3);

    const Row header = layout.RowAt(35);
    EXPECT_EQ(header.Kind, RowKind::BlockHeader);
    EXPECT_EQ(header.Offset, 2048u);
    EXPECT_EQ(header.Length, 8u);
    EXPECT_EQ(header.Block, 2u);

    const Row first = layout.RowAt(36);
    EXPECT_EQ(first.Kind, RowKind::Record);
    EXPECT_EQ(first.Offset, 2048u + 8);
    EXPECT_EQ(first.Record, 1u);
    const Row last = layout.RowAt(69);
    EXPECT_EQ(last.Offset, 2048u + 8 + 33 * 60);
    EXPECT_EQ(last.Record, 34u);
    EXPECT_EQ(last.Offset + last.Length, 2u * 2048);

    const Row tail = layout.RowAt(72);
    EXPECT_EQ(tail.Kind, RowKind::Trailing);
    EXPECT_EQ(tail.Block, 0u);
    EXPECT_EQ(tail.Offset, 2u * 2048 + 32);
    EXPECT_EQ(tail.Length, 8u);

    // Every byte maps to the row that holds it, and back.
    for (std::uint64_t offset = 0; offset < layout.FileSize(); ++offset) {
        const Row row = layout.RowAt(layout.RowOf(offset));
        ASSERT_LE(row.Offset, offset);
        ASSERT_LT(offset, row.Offset + row.Length) << offset;
    }
    EXPECT_EQ(layout.RowOf(1u << 20), layout.RowCount() - 1);
}

TEST(ByteRowLayout, RowsAndLabelsPastFourGiB) {
    // Five GiB of whole blocks and 1000 bytes after them; nothing is read.
    const std::uint64_t blocks = (5ull << 30) / 2048;
    const std::uint64_t size = blocks * 2048 + 1000;
    const std::uint64_t g4 = 1ull << 32;
    const std::uint64_t offsets[] = {g4 - 1,           g4,           g4 + 7,     g4 + 8,
                                     g4 + 2047,        g4 + 2048,    g4 + 5 * 2048 + 8 + 33 * 60,
                                     blocks * 2048 - 1, blocks * 2048, size - 1};
    for (const ByteRowLayout::Kind kind : {ByteRowLayout::Kind::Records, ByteRowLayout::Kind::Plain}) {
        const ByteRowLayout layout(kind, size);
        for (const std::uint64_t offset : offsets) {
            // What the row holding offset is, worked out here.
            const std::uint64_t block = offset / 2048;
            const std::uint64_t within = offset % 2048;
            RowKind wantKind = RowKind::Plain;
            std::uint64_t start = offset / 16 * 16;
            std::uint64_t row = offset / 16;
            std::uint32_t record = 0;
            if (kind == ByteRowLayout::Kind::Records && block == blocks) {
                wantKind = RowKind::Trailing;
                row = blocks * 35 + within / 16;
            } else if (kind == ByteRowLayout::Kind::Records) {
                record = within < 8 ? 0 : static_cast<std::uint32_t>((within - 8) / 60 + 1);
                wantKind = record ? RowKind::Record : RowKind::BlockHeader;
                start = block * 2048 + (record ? 8 + (record - 1) * 60 : 0);
                row = block * 35 + record;
            }
            SCOPED_TRACE((kind == ByteRowLayout::Kind::Records ? "records, offset " : "plain, offset ") +
                         std::to_string(offset));
            ASSERT_EQ(layout.RowOf(offset), row);
            const Row got = layout.RowAt(row);
            EXPECT_EQ(got.Kind, wantKind);
            EXPECT_EQ(got.Offset, start);
            EXPECT_EQ(got.Record, record);
            EXPECT_EQ(got.Block, wantKind == RowKind::Record || wantKind == RowKind::BlockHeader ? block + 1 : 0);
            EXPECT_EQ(layout.RowOf(got.Offset), row);

            // The label shows the row's offset in full, and its block.
            char hex[32];
            std::snprintf(hex, sizeof hex, "%010llX", static_cast<unsigned long long>(start));
            const std::string label = FormatByteRow(got, nullptr, 0, {}).Label;
            EXPECT_NE(label.find(hex), std::string::npos) << label;
            if (got.Block) {
                EXPECT_EQ(label.rfind("B" + std::to_string(block + 1) + " ", 0), 0u) << label;
            }
            if (record) {
                const std::string slot = (record < 10 ? "R0" : "R") + std::to_string(record);
                EXPECT_NE(label.find(slot), std::string::npos) << label;
            }
        }
    }
}

TEST(ByteRowLayout, PlainRowsAndTheDefault) {
    const ByteRowLayout plain(ByteRowLayout::Kind::Plain, 33);
    EXPECT_EQ(plain.RowCount(), 3u);
    EXPECT_EQ(plain.RowAt(2).Offset, 32u);
    EXPECT_EQ(plain.RowAt(2).Length, 1u);
    EXPECT_EQ(plain.RowOf(17), 1u);
    EXPECT_EQ(ByteRowLayout(ByteRowLayout::Kind::Records, 0).RowCount(), 0u);
    EXPECT_EQ(ByteRowLayout::DefaultFor(2047), ByteRowLayout::Kind::Plain);
    EXPECT_EQ(ByteRowLayout::DefaultFor(2048), ByteRowLayout::Kind::Records);
    // A file shorter than a block in the records layout is all trailing part.
    const ByteRowLayout shortFile(ByteRowLayout::Kind::Records, 20);
    EXPECT_EQ(shortFile.RowCount(), 2u);
    EXPECT_EQ(shortFile.RowAt(0).Kind, RowKind::Trailing);
}

TEST(FormatByteRow, RecordHexIsGroupedByFieldAndTextDecodesThroughTheTable) {
    const CodeTable table = ComplementTable();
    // Fields 1-12 and 14 spell letters once decoded; field 13 holds bytes
    // that would decode to "ABCD" if it were (wrongly) decoded.
    const std::string plain = std::string("2") + "017" + "ABCDEFGH" + "0123456789KLMNO" + "0712" +
                              "235959" + "000130" + "000090" + "01" + "02" + "3" + "4";
    Bytes record = Complemented(plain);                  // 55 bytes: fields 1-12
    const Bytes binary = Complemented("ABCD");          // field 13
    record.insert(record.end(), binary.begin(), binary.end());
    record.push_back(255 - '5');                          // field 14
    ASSERT_EQ(record.size(), 60u);

    const Row row{RowKind::Record, 2048 + 8 + 60, 60, 2, 2};
    const FormattedRow out =
        FormatByteRow(row, record.data(), record.size(), {ByteDecoding::Input::Ebcdic, &table});

    // 14 groups of hex digits, of twice each field's width.
    std::vector<std::size_t> groups;
    std::size_t run = 0;
    for (char c : out.Hex + " ") {
        if (c == ' ') {
            groups.push_back(run / 2);
            run = 0;
        } else {
            ++run;
        }
    }
    EXPECT_EQ(groups, (std::vector<std::size_t>{1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1}));
    EXPECT_EQ(out.Hex.substr(0, 2), "CD");  // 255 - '2'
    EXPECT_EQ(out.Hex.substr(out.HexColumn[55], 8), "BEBDBCBB");

    // Decoded through the table, fields apart, field 13 as its own hex.
    EXPECT_EQ(out.Text, u"2│017│ABCDEFGH│0123456789KLMNO│0712│235959│000130│000090│01│02│3│4│BEBDBCBB│5");
    EXPECT_EQ(out.Text[out.TextColumn[4]], u'A');
    EXPECT_EQ(out.Text.substr(out.TextColumn[55], 2), u"BE");
    EXPECT_NE(out.Label.find("B2"), std::string::npos);
    EXPECT_NE(out.Label.find("R02"), std::string::npos);
    EXPECT_NE(out.Label.find("0000000844"), std::string::npos);  // 2048 + 68

    // ASCII input shows the bytes as they are: the complements are
    // windows-1251 letters or not printable.
    const std::u16string ascii = DecodeByteRow(row, record.data(), record.size(), {});
    EXPECT_EQ(ascii.substr(0, 1), std::u16string(1, u'Н'));  // 0xCD
    // With no table loaded EBCDIC has no glyphs at all.
    EXPECT_TRUE(FormatByteRow(row, record.data(), record.size(), {ByteDecoding::Input::Ebcdic, nullptr})
                    .Text.empty());
}

TEST(FormatByteRow, GlyphsOfWindows1251AndControlBytes) {
    EXPECT_EQ(GlyphOf('A'), u'A');
    EXPECT_EQ(GlyphOf(0xC0), u'А');
    EXPECT_EQ(GlyphOf(0xFF), u'я');
    EXPECT_EQ(GlyphOf(0xA8), u'Ё');
    for (std::uint8_t b : {0x00, 0x0A, 0x1F, 0x7F, 0x98})
        EXPECT_EQ(GlyphOf(b), u'.') << int(b);

    const Bytes bytes{'H', 'D', 'R', 0x00, '0', '0', '0', '1'};
    const FormattedRow header = FormatByteRow({RowKind::BlockHeader, 0, 8, 1, 0}, bytes.data(), 8, {});
    EXPECT_EQ(header.Hex, "48 44 52 00 30 30 30 31");
    EXPECT_EQ(header.Text, u"HDR.0001");
    EXPECT_NE(header.Label.find("hdr"), std::string::npos);

    // A short row (the file shrank) shows only what was read.
    const FormattedRow tail = FormatByteRow({RowKind::Trailing, 4096, 16, 0, 0}, bytes.data(), 3, {});
    EXPECT_EQ(tail.Hex, "48 44 52");
    EXPECT_EQ(tail.Text, u"HDR");
    EXPECT_NE(tail.Label.find("no block"), std::string::npos);
}

TEST(ParseGoTo, OffsetsBlocksAndRecords) {
    struct Case {
        const char* text;
        std::optional<std::uint64_t> offset;
    };
    const Case cases[] = {
        {"4096", 4096},        {"0x800", 2048},        {" 0X1f ", 31},
        {"b 2", 2048},         {"block 3", 4096},      {"B1", 0},
        {"r 1", 8},            {"record 35", 2048 + 8}, {"r34", 8 + 33 * 60},
        {"offset 0x10", 16},   {"r 0", std::nullopt},  {"block 0", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto target = ParseGoTo(c.text);
        ASSERT_TRUE(target) << c.text;
        EXPECT_EQ(target->Offset(), c.offset) << c.text;
    }
    for (const char* bad : {"", "x", "0x", "12ab", "-5", "blocks 2", "0xZZ", "99999999999999999999999"})
        EXPECT_FALSE(ParseGoTo(bad)) << bad;
    // A record past any file does not wrap around to a small offset.
    EXPECT_EQ(ParseGoTo("r 18446744073709551615")->Offset(), UINT64_MAX);

    const auto line = ParseGoTo("120", true);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->What, GoToTarget::Kind::Line);
    EXPECT_EQ(line->Value, 120u);
    EXPECT_EQ(ParseGoTo("line 7", true)->Value, 7u);
}

TEST(RowScrollMapper, ReachesEveryRowPastTheIntRange) {
    const RowScrollMapper small(1000);
    EXPECT_FALSE(small.Scaled());
    EXPECT_EQ(small.Maximum(), 1000);
    EXPECT_EQ(small.RowOf(small.ValueOf(517)), 517u);

    // 100 GiB in 16-byte rows: 6.7e9 rows, far past 2^31.
    const std::uint64_t last = (100ull << 30) / 16 - 40;
    const RowScrollMapper big(last);
    ASSERT_TRUE(big.Scaled());
    EXPECT_EQ(big.RowOf(0), 0u);
    EXPECT_EQ(big.RowOf(big.Maximum()), last);
    EXPECT_EQ(big.ValueOf(last), big.Maximum());
    // Each value lands at most one step of rows away from the row it came from.
    const std::uint64_t step = last / RowScrollMapper::kMaxScroll + 1;
    for (std::uint64_t row : {std::uint64_t{1}, std::uint64_t{12345678901} % last, last / 2, last - 1}) {
        const std::uint64_t back = big.RowOf(big.ValueOf(row));
        EXPECT_LE(back, row);
        EXPECT_LT(row - back, step) << row;
    }
    // Values are monotonic.
    EXPECT_LT(big.ValueOf(last / 3), big.ValueOf(last / 2));
}

TEST(FileSource, ReadsAtOffsetsPastFourGiBInASparseFile) {
    TempDir dir;
    const std::string path = dir / "big.cdr";
    // Five GiB of whole blocks and 1000 bytes after them, all but two records a hole.
    const std::uint64_t blocks = (5ull << 30) / 2048;
    const std::uint64_t size = blocks * 2048 + 1000;
    WriteFile(path, {});
    std::filesystem::resize_file(path, size);
    const std::uint64_t lastRecord = (blocks - 1) * 2048 + 8 + 33 * 60;
    WriteAt(path, lastRecord, Complemented(std::string(55, 'Z') + "BIN!" + "9"));
    WriteAt(path, size - 3, {'E', 'N', 'D'});

    FileSource source(path);
    ASSERT_EQ(source.Size(), size);
    const ByteRowLayout layout(ByteRowLayout::DefaultFor(size), size);
    const std::uint64_t rowNumber = layout.RowOf(lastRecord + 59);
    const Row row = layout.RowAt(rowNumber);
    EXPECT_EQ(row.Offset, lastRecord);
    EXPECT_EQ(row.Block, blocks);
    EXPECT_EQ(row.Record, 34u);
    EXPECT_GT(row.Offset, 1ull << 32);
    EXPECT_EQ(rowNumber, blocks * 35 - 1);

    std::uint8_t bytes[60];
    ASSERT_EQ(source.Read(row.Offset, bytes, row.Length), 60u);
    const CodeTable table = ComplementTable();
    const FormattedRow out = FormatByteRow(row, bytes, 60, {ByteDecoding::Input::Ebcdic, &table});
    EXPECT_EQ(out.Text.substr(0, 2), u"Z│");
    EXPECT_NE(out.Label.find("B2621440"), std::string::npos);
    EXPECT_NE(out.Label.find("R34"), std::string::npos);

    // The trailing part: 63 rows, the last of 8 bytes ending in "END".
    const Row tail = layout.RowAt(layout.RowCount() - 1);
    EXPECT_EQ(tail.Kind, RowKind::Trailing);
    EXPECT_EQ(layout.RowCount(), blocks * 35 + 63);
    EXPECT_EQ(tail.Length, 8u);
    std::uint8_t end[16];
    ASSERT_EQ(source.Read(tail.Offset, end, 16), 8u);
    EXPECT_EQ(std::string(end + 5, end + 8), "END");
}

TEST(FileSource, AFileThatShrinksOrGrowsReadsShortAndReloads) {
    TempDir dir;
    const std::string path = dir / "changing";
    Bytes bytes(5000);
    std::iota(bytes.begin(), bytes.end(), 0);
    WriteFile(path, bytes);
    FileSource source(path);
    std::filesystem::resize_file(path, 100);
    std::uint8_t buffer[64];
    EXPECT_EQ(source.Size(), 5000u);  // as seen at opening, until reloaded
    EXPECT_EQ(source.Read(80, buffer, 64), 20u);
    EXPECT_EQ(source.Read(4000, buffer, 64), 0u);
    EXPECT_EQ(source.Read(UINT64_MAX - 10, buffer, 64), 0u);
    source.Reload();
    EXPECT_EQ(source.Size(), 100u);
    std::filesystem::resize_file(path, 9000);
    source.Reload();
    EXPECT_EQ(source.Size(), 9000u);
    EXPECT_EQ(source.Read(8990, buffer, 64), 10u);
}

TEST(FileSource, OpensReadOnlyAndReportsTheUsualErrors) {
    TempDir dir;
    try {
        FileSource missing(dir / "missing");
        FAIL() << "opened a missing file";
    } catch (const IOError& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_THROW(FileSource folder(dir.Path().string()), IOError);
    // A file only readable opens: the viewers never ask to write.
    const std::string path = dir / "readonly";
    WriteFile(path, {1, 2, 3});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    FileSource source(path);
    EXPECT_EQ(source.Size(), 3u);
}
