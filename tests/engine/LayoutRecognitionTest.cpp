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

class TextRecognition : public ::testing::TestWithParam<TextCase> {};

}  // namespace

TEST_P(TextRecognition, FindsLayoutAndSeparatorFromTheLineLength) {
    const TextCase& c = GetParam();
    // Field 13 holds CR, LF, "*" and TAB: lines must be cut by position.
    const std::string text = Converted(VariedBlocks(3), c.formatted, c.separator);
    const RecordLayout layout = Recognised(Text(text));
    EXPECT_EQ(layout.Kind, c.formatted ? LayoutKind::Formatted : LayoutKind::Raw);
    EXPECT_EQ(layout.Separator, c.separator);
    EXPECT_EQ(layout.RecordCount(text.size()) * layout.LineLength(), text.size());
}

INSTANTIATE_TEST_SUITE_P(EveryLayoutAndSeparatorLength, TextRecognition,
                         ::testing::Values(TextCase{true, "*"}, TextCase{false, "*"}, TextCase{true, "\t"},
                                           TextCase{false, "\t"}, TextCase{true, ";;"}, TextCase{false, ";;"},
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
