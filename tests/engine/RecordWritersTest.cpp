#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "RecordWriters.h"
#include "TestFiles.h"

namespace {

struct FixedChoice : FormatChoice {
    explicit FixedChoice(bool on) : on(on) {}
    bool FormatBox1() const override { return on; }
    bool on;
};

// Runs write against a fresh output file and returns what reached the disk.
std::string Written(const std::function<void(OutputFile&)>& write) {
    TempDir dir;
    OutputFile out(dir / "out");
    write(out);
    out.Close();
    const Bytes bytes = ReadFile(dir / "out");
    return std::string(bytes.begin(), bytes.end());
}

std::string Formatted(const CallRecord& r, std::string_view sep) {
    return Written([&](OutputFile& out) { WriteFormattedLine(r, sep, out); });
}
std::string Raw(const CallRecord& r, std::string_view sep) {
    return Written([&](OutputFile& out) { WriteRawFieldLine(r, sep, out); });
}

CallRecord WithBytes(CallRecord r, std::size_t at, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        r.Bytes[at + i] = static_cast<std::uint8_t>(bytes[i]);
    return r;
}

}  // namespace

TEST(FormattedLine, ReadmeExampleRecordByteForByte) {
    const std::string line = Formatted(ExampleRecord(), "*");
    EXPECT_EQ(line, "2*017*4951    *0123456789     *07/12*23:59:59*00:01:30*000090*01*02*3*4*2B41H7A30H*5\r\n");
    EXPECT_EQ(line.size(), 84u + 2);
}

TEST(RawFieldLine, ReadmeExampleRecordByteForByte) {
    const std::string line = Raw(ExampleRecord(), "*");
    EXPECT_EQ(line, "2*017*4951FFFF*0123456789FFFFF*0712*235959*000130*000090*01*02*3*4*+Az0*5\r\n");
    EXPECT_EQ(line.size(), 73u + 2);
}

TEST(FormattedLine, LengthFollowsSeparatorLength) {
    for (const std::string& sep : std::vector<std::string>{"", "\t", "*", "<|>", std::string(40, '-')}) {
        EXPECT_EQ(Formatted(ExampleRecord(), sep).size(), 71 + 13 * sep.size() + 2) << sep;
        const std::size_t lineEnd = sep.empty() ? 0 : 2;
        EXPECT_EQ(Raw(ExampleRecord(), sep).size(), 60 + 13 * sep.size() + lineEnd) << sep;
    }
}

TEST(FormattedLine, TabSeparatorIsOneByteAfterEachOfThirteenFields) {
    const std::string line = Raw(ExampleRecord(), "\t");
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 13);
    EXPECT_EQ(line.substr(0, 6), "2\t017\t");
    EXPECT_EQ(line.substr(line.size() - 4), "\t5\r\n");
}

TEST(FormattedLine, RecordStartingWithFWritesNothing) {
    EXPECT_EQ(Formatted(WithBytes(ExampleRecord(), 0, "F"), "*"), "");
    // A lower-case f is not F.
    EXPECT_EQ(Formatted(WithBytes(ExampleRecord(), 0, "f"), "*").substr(0, 2), "f*");
}

TEST(FormattedLine, BlanksFOnlyInFieldsThreeAndFour) {
    CallRecord r = ExampleRecord();
    r = WithBytes(r, 4, "F1F2fFFF");            // field 3
    r = WithBytes(r, 12, "FFFFFFFFFFFFFFF");    // field 4
    r = WithBytes(r, 27, "F7F2");               // field 5
    r = WithBytes(r, 31, "F3F9F9");             // field 6
    r = WithBytes(r, 43, "F0f0F0");             // field 8
    r = WithBytes(r, 59, "F");                  // field 14
    EXPECT_EQ(Formatted(r, "*"),
              "2*017* 1 2f   *               *F7/F2*F3:F9:F9*00:01:30*F0f0F0*01*02*3*4*2B41H7A30H*F\r\n");
}

TEST(FormattedLine, BinaryFieldInHexAndRawUnchanged) {
    const CallRecord r = WithBytes(ExampleRecord(), 55, std::string("\x00\x0A\xFF\x0D", 4));
    const std::string formatted = Formatted(r, "*");
    EXPECT_NE(formatted.find("*000AHFF0DH*"), std::string::npos) << formatted;
    const std::string raw = Raw(r, "*");
    EXPECT_NE(raw.find(std::string("*\x00\x0A\xFF\x0D*", 6)), std::string::npos);
    EXPECT_EQ(raw.size(), 75u);
}

TEST(FormattedLine, ZeroBytesInsideFieldsAreWrittenNotCut) {
    const CallRecord r = WithBytes(ExampleRecord(), 1, std::string("\x00\x00\x00", 3));
    EXPECT_EQ(Formatted(r, "*").substr(0, 6), std::string("2*\0\0\0*", 6));
    EXPECT_EQ(Raw(r, "*").substr(0, 6), std::string("2*\0\0\0*", 6));
}

TEST(WriteBlock, BinaryTypeGivesTheBlockImageWhateverTheChoice) {
    CallRecordBlock block = ExampleBlock();
    block.Records[3] = WithBytes(block.Records[3], 0, "F");
    block.Records[5] = WithBytes(block.Records[5], 55, "\r\n\r\n");
    const Bytes image = BlockBytes(block);
    for (bool on : {true, false}) {
        const std::string out = Written([&](OutputFile& f) {
            WriteBlock(block, "", OutputType::Binary, FixedChoice(on), f);
        });
        EXPECT_EQ(Bytes(out.begin(), out.end()), image);
    }
}

TEST(WriteBlock, TextWithSeparatorHasNoHeaderAndDropsFRecordsOnlyWhenFormatted) {
    CallRecordBlock block = ExampleBlock();
    block.Records[0] = WithBytes(block.Records[0], 0, "F");
    const std::string formatted =
        Written([&](OutputFile& f) { WriteBlock(block, "*", OutputType::Text, FixedChoice(true), f); });
    EXPECT_EQ(formatted.size(), 33u * 86);
    EXPECT_EQ(formatted.substr(0, 2), "2*");
    const std::string raw =
        Written([&](OutputFile& f) { WriteBlock(block, "*", OutputType::Text, FixedChoice(false), f); });
    EXPECT_EQ(raw.size(), 34u * 75);
    EXPECT_EQ(raw.substr(0, 2), "F*");
}

TEST(WriteBlock, AllFRecordsFormattedAddNothing) {
    CallRecordBlock block = ExampleBlock();
    for (CallRecord& r : block.Records)
        r.Bytes[0] = 'F';
    EXPECT_EQ(Written([&](OutputFile& f) { WriteBlock(block, "*", OutputType::Text, FixedChoice(true), f); }),
              "");
}

TEST(WriteBlock, EmptySeparatorPutsHeaderFirst) {
    const CallRecordBlock block = ExampleBlock();
    const std::string formatted =
        Written([&](OutputFile& f) { WriteBlock(block, "", OutputType::Text, FixedChoice(true), f); });
    EXPECT_EQ(formatted.size(), 8 + 34u * 73);
    EXPECT_EQ(formatted.substr(0, 8 + 71 + 2),
              "HDR00001" "2017" "4951    " "0123456789     " "07/12" "23:59:59" "00:01:30" "000090" "01"
              "02" "3" "4" "2B41H7A30H" "5\r\n");
    const std::string raw =
        Written([&](OutputFile& f) { WriteBlock(block, "", OutputType::Text, FixedChoice(false), f); });
    EXPECT_EQ(Bytes(raw.begin(), raw.end()), BlockBytes(block));
}

TEST(WriteBlock, ChoiceIsAskedForEveryRecord) {
    struct Alternating : FormatChoice {
        mutable int asked = 0;
        bool FormatBox1() const override { return asked++ % 2 == 0; }
    } choice;
    const std::string out =
        Written([&](OutputFile& f) { WriteBlock(ExampleBlock(), "*", OutputType::Text, choice, f); });
    EXPECT_EQ(choice.asked, 34);
    EXPECT_EQ(out.size(), 17u * 86 + 17u * 75);
    EXPECT_EQ(out.substr(86, 75), Raw(ExampleRecord(), "*"));
}
