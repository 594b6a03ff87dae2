#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "BlockReader.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "RecordFile.h"
#include "SelectionSamples.h"

namespace {

// The layout RecordFile recognises for these bytes.
RecordLayout Recognised(const Bytes& bytes, std::optional<BlockCode> code = std::nullopt) {
    TempDir dir;
    WriteFile(dir / "file", bytes);
    return RecordFile(dir / "file", std::nullopt, code).Layout();
}

std::string Refusal(const Bytes& bytes) {
    try {
        const RecordLayout layout = Recognised(bytes);
        return "accepted as " + layout.Describe();
    } catch (const LayoutError& e) {
        return e.what();
    }
}

Bytes Text(const std::string& s) { return ToBytes(s); }

struct TextCase {
    bool formatted;
    std::string separator;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << (c.formatted ? "formatted, separator" : "raw, separator");
    for (unsigned char b : c.separator)
        *os << ' ' << std::hex << static_cast<int>(b) << std::dec;
}

class TextRecognition : public ::testing::TestWithParam<TextCase> {};

}  // namespace

// Whether the file is recognised as exactly that layout.
bool RecognisedAs(const Bytes& bytes, const RecordLayout& layout) {
    try {
        const RecordLayout found = Recognised(bytes);
        return found.Kind == layout.Kind && found.Separator == layout.Separator;
    } catch (const LayoutError&) {
        return false;
    }
}

TEST_P(TextRecognition, FindsLayoutAndSeparatorFromTheLineLength) {
    const TextCase& c = GetParam();
    const std::size_t s = c.separator.size();
    // Field 13 holds CR, LF, "*" and TAB: lines must be cut by position.
    const std::string text = Converted(VariedBlocks(3), c.formatted, c.separator);
    const std::size_t length = (c.formatted ? 73 : 62) + 13 * s;
    ASSERT_EQ(text.size() % length, 0u);
    const RecordLayout layout = Recognised(Text(text));
    EXPECT_EQ(layout.Kind, c.formatted ? LayoutKind::Formatted : LayoutKind::Raw);
    EXPECT_EQ(layout.Separator, c.separator);
    EXPECT_EQ(layout.LineLength(), length);
    EXPECT_EQ(layout.RecordCount(text.size()), text.size() / length);

    // The separator is checked at each of its 13 places, every byte of it:
    // one byte changed in line 1 and the line no longer fits.
    const std::size_t widths[2][14] = {{1, 3, 8, 15, 4, 6, 6, 6, 2, 2, 1, 1, 4, 1},
                                       {1, 3, 8, 15, 5, 8, 8, 6, 2, 2, 1, 1, 10, 1}};
    std::size_t place = 0;
    for (int k = 1; k <= 13; ++k) {
        place += widths[c.formatted][k - 1];
        for (std::size_t at : {place, place + s - 1}) {
            std::string changed = text;
            changed[at] = static_cast<char>(changed[at] ^ 0x01);
            const auto* line = reinterpret_cast<const std::uint8_t*>(changed.data());
            EXPECT_FALSE(LineFits(layout, line)) << "separator " << k << ", byte " << at;
            EXPECT_FALSE(RecognisedAs(Text(changed), layout)) << "separator " << k << ", byte " << at;
        }
        place += s;
    }
    EXPECT_EQ(place + widths[c.formatted][13] + 2, length);

    // Lines one byte longer are no lines of this layout.
    std::string longer;
    for (std::size_t at = 0; at < text.size(); at += length)
        longer += text.substr(at, length - 2) + "5\r\n";
    EXPECT_FALSE(LineFits(layout, reinterpret_cast<const std::uint8_t*>(longer.data())));
    EXPECT_FALSE(RecognisedAs(Text(longer), layout));
}

INSTANTIATE_TEST_SUITE_P(EveryLayoutAndSeparatorLength, TextRecognition,
                         ::testing::Values(TextCase{true, "*"}, TextCase{false, "*"}, TextCase{true, "\t"},
                                           TextCase{false, "\t"}, TextCase{true, "::"}, TextCase{false, "::"},
                                           TextCase{true, "<|>"}, TextCase{false, "<|>"},
                                           TextCase{true, std::string(13, '-')},
                                           TextCase{false, std::string(40, '=')},
                                           // Separators made of bytes that fields hold.
                                           TextCase{false, "0"}, TextCase{true, " "},
                                           TextCase{false, "\r\n"}));

TEST(LayoutRecognition, BlockFilesByTheirDigits) {
    const Bytes ascii = VariedBlocks(4);
    EXPECT_EQ(Recognised(ascii).Kind, LayoutKind::Block);
    EXPECT_EQ(Recognised(ascii).Code, BlockCode::Ascii);
    EXPECT_EQ(Recognised(ToXorEbcdic(ascii)).Code, BlockCode::Ebcdic);
    // A trailing part after the last whole block changes nothing.
    Bytes tail = ToXorEbcdic(ascii);
    tail.resize(tail.size() + 100, 0x40);
    EXPECT_EQ(Recognised(tail).Code, BlockCode::Ebcdic);
    // The caller's code wins over the statistics.
    EXPECT_EQ(Recognised(ascii, BlockCode::Ebcdic).Code, BlockCode::Ebcdic);
    // A raw output without separator is the block image again.
    EXPECT_EQ(Recognised(Text(Converted(ascii, false, ""))).Kind, LayoutKind::Block);
}

TEST(LayoutRecognition, AFileThatFitsNothingNamesWhereItStopsFitting) {
    // A line in the middle with its separator moved.
    std::string text = Converted(VariedBlocks(2), false, "*");
    const std::size_t length = 62 + 13;
    text[10 * length + 1] = '#';
    EXPECT_NE(Refusal(Text(text)).find("line 11 (offset 750)"), std::string::npos) << Refusal(Text(text));

    // The last line cut short.
    text = Converted(VariedBlocks(2), true, "\t");
    text.resize(text.size() - 5);
    const std::string cut = Refusal(Text(text));
    EXPECT_NE(cut.find("cut short"), std::string::npos) << cut;
    EXPECT_NE(cut.find("line " + std::to_string(text.size() / 86 + 1)), std::string::npos) << cut;

    // Neither text nor records.
    const std::string junk = Refusal(Bytes(5000, 0));
    EXPECT_NE(junk.find("offset 0"), std::string::npos) << junk;
    const std::string small = Refusal(Text("hello\r\n"));
    EXPECT_NE(small.find("offset 0"), std::string::npos) << small;
}

TEST(LayoutRecognition, FormattedLinesWithoutSeparatorAreRefused) {
    const std::string text = Converted(VariedBlocks(2), true, "");
    const std::string why = Refusal(Text(text));
    EXPECT_NE(why.find("without a separator"), std::string::npos) << why;
}

TEST(LayoutRecognition, RecordFileCountsRecordsIn64Bits) {
    TempDir dir;
    WriteFile(dir / "big", VariedBlocks(1));
    // A sparse 8 GiB file of ASCII records in its first block.
    std::filesystem::resize_file(dir / "big", std::uintmax_t{8} << 30);
    RecordFile file(dir / "big", RecordLayout::Block(BlockCode::Ascii));
    EXPECT_EQ(file.RecordCount(), (8ULL << 30) / kBlockSize * kRecordsPerBlock);
    const std::uint64_t last = file.RecordCount() - 1;
    const std::uint8_t* rec = file.Record(last);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(file.Layout().RecordOffset(last), (8ULL << 30) - kRecordSize);
    EXPECT_EQ(rec[0], 0);
    EXPECT_EQ(file.Record(1)[12 + 14], '1');
    EXPECT_EQ(file.Record(file.RecordCount()), nullptr);
}

TEST(LayoutRecognition, AFailedReadIsAnErrorNotAMisfit) {
    TempDir dir;
    WriteFile(dir / "raw", ToBytes(Converted(VariedBlocks(2), false, "*")));
    const FileSource source(dir / "raw");
    if (!BreakReads(dir / "raw"))
        GTEST_SKIP() << "no way here to make reads fail";
    try {
        RecogniseLayout(source, source.Size());
        ADD_FAILURE() << "recognised a file it could not read";
    } catch (const IOError& e) {
        EXPECT_EQ(e.FileName(), dir / "raw");
    }
    EXPECT_THROW(LayoutFits(source, source.Size(), RecordLayout::Raw("*")), IOError);
}
