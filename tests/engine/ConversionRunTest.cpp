#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "CodeTable.h"
#include "ConversionRun.h"
#include "FileAccess.h"
#include "IOError.h"
#include "TestFiles.h"

namespace {

// A run's settings held still, with hooks to change them as blocks go by.
class ScriptedSettings : public RunSettings {
public:
    int mode = 10;
    std::int64_t blockCount = 0;
    bool formatted = true;
    std::vector<int> gauge;
    int blocksSeen = 0;
    std::function<void(ScriptedSettings&)> afterBlock;  // runs where Converting() is asked
    bool converting = true;

    int ConversionMode() const override { return mode; }
    std::int64_t BlockCount() const override { return blockCount; }
    bool FormatBox1() const override { return formatted; }
    void UpdateGauge(int progress) override { gauge.push_back(progress); }
    bool Converting() override {
        ++blocksSeen;
        if (afterBlock)
            afterBlock(*this);
        return converting;
    }
};

// n example blocks, block k's header "HDR0000k", plus tail bytes.
Bytes InputOf(int blocks, std::size_t tail = 0) {
    Bytes bytes;
    for (int k = 0; k < blocks; ++k) {
        CallRecordBlock b = ExampleBlock();
        b.Header.Bytes[7] = static_cast<std::uint8_t>('0' + k % 10);
        const Bytes one = BlockBytes(b);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    bytes.insert(bytes.end(), tail, 'T');
    return bytes;
}

class RunConversionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string in = dir / "in.cdr";
    std::string out = dir / "out.txt";
    ScriptedSettings settings;
    CodeTables tables;
};

CodeTable Filled(std::uint8_t value) {
    CodeTable table;
    table.fill(value);
    return table;
}

constexpr std::size_t kFormattedLine = 86;  // with "*" and CR LF
constexpr std::size_t kRawLine = 75;

}  // namespace

TEST_F(RunConversionTest, TextModeWritesEveryRecordAndIgnoresTheTail) {
    WriteFile(in, InputOf(3, 1000));
    settings.blockCount = 3;
    const ConversionResult r = RunConversion(in, out, "*", tables, settings);
    EXPECT_FALSE(r.Failed) << r.ErrorText;
    EXPECT_EQ(r.BlocksDone, 3);
    EXPECT_EQ(r.InputSize, 3 * 2048 + 1000);
    EXPECT_EQ(ReadFile(out).size(), 3 * 34 * kFormattedLine);
    EXPECT_EQ(settings.gauge, (std::vector<int>{33, 66, 100}));
}

TEST_F(RunConversionTest, NoWholeBlockGivesAnEmptyOutputAndNoProgress) {
    WriteFile(in, Bytes(2047, 'x'));
    WriteFile(out, ToBytes("old contents"));
    const ConversionResult r = RunConversion(in, out, "*", tables, settings);
    EXPECT_FALSE(r.Failed);
    EXPECT_TRUE(ReadFile(out).empty());
    EXPECT_TRUE(settings.gauge.empty());
}

TEST_F(RunConversionTest, BinaryModesRecodeThroughTheirTables) {
    tables.EbcdicToAscii = Filled('e');
    tables.AsciiToEbcdic = Filled('a');
    WriteFile(in, InputOf(2));
    for (int mode : {1, 11}) {
        settings.mode = mode;
        ASSERT_FALSE(RunConversion(in, out, "", tables, settings).Failed);
        const Bytes o = ReadFile(out);
        ASSERT_EQ(o.size(), 2u * 2048);
        const std::uint8_t want = mode == 1 ? 'e' : 'a';
        EXPECT_EQ(o[0], want);
        EXPECT_EQ(o[8 + 54], want);
        EXPECT_EQ(o[8 + 55], '+');  // field 13 untouched
        EXPECT_EQ(o[2048 + 8 + 60 + 59], want);
    }
}

TEST_F(RunConversionTest, ATableNeverLoadedFailsTheRunInsteadOfWritingZeros) {
    WriteFile(in, InputOf(2));
    tables.AsciiToEbcdic = Filled('a');
    settings.mode = 1;
    ConversionResult r = RunConversion(in, out, "", tables, settings);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.ErrorText, "Cannot open file ebcdic-ascii");
    EXPECT_EQ(r.BlocksDone, 0);
    EXPECT_TRUE(ReadFile(out).empty());

    // Switched to during a run: the blocks before it stay as they were written.
    settings.mode = 10;
    settings.afterBlock = [](ScriptedSettings& s) { s.mode = 0; };
    r = RunConversion(in, out, "", tables, settings);
    EXPECT_EQ(r.ErrorText, "Cannot open file ebcdic-ascii");
    EXPECT_EQ(r.BlocksDone, 1);
}

TEST_F(RunConversionTest, ModeTenChangesNoByte) {
    WriteFile(in, InputOf(2));
    ASSERT_FALSE(RunConversion(in, out, "", tables, settings).Failed);
    // Formatted lines with an empty separator: header then 34 lines of 73 bytes.
    const Bytes o = ReadFile(out);
    ASSERT_EQ(o.size(), 2 * (8 + 34 * 73u));
    EXPECT_EQ(std::string(o.begin(), o.begin() + 8), "HDR00000");
    settings.formatted = false;
    ASSERT_FALSE(RunConversion(in, out, "", tables, settings).Failed);
    EXPECT_EQ(ReadFile(out), InputOf(2));
}

TEST_F(RunConversionTest, PerBlockAndPerRecordValuesTakeEffectAsTheyChange) {
    WriteFile(in, InputOf(3));
    settings.afterBlock = [](ScriptedSettings& s) {
        s.formatted = !s.formatted;
        s.mode = 11;  // binary from the next block on
    };
    tables.AsciiToEbcdic = Filled('a');
    ASSERT_FALSE(RunConversion(in, out, "*", tables, settings).Failed);
    const Bytes o = ReadFile(out);
    // Block 1 formatted text, block 2 raw lines of the recoded block (binary type, "*"), block 3 the same.
    ASSERT_EQ(o.size(), 34 * kFormattedLine + 2 * 34 * kRawLine);
    EXPECT_EQ(o[34 * kFormattedLine], 'a');
}

TEST_F(RunConversionTest, StopsAfterTheBlockWhereConvertingTurnsFalse) {
    WriteFile(in, InputOf(5));
    settings.blockCount = 5;
    settings.afterBlock = [](ScriptedSettings& s) { s.converting = s.blocksSeen < 2; };
    const ConversionResult r = RunConversion(in, out, "*", tables, settings);
    EXPECT_FALSE(r.Failed);
    EXPECT_EQ(r.BlocksDone, 2);
    EXPECT_EQ(ReadFile(out).size(), 2 * 34 * kFormattedLine);
}

TEST_F(RunConversionTest, ProgressStaysWithinRangeWhenTheCountIsStale) {
    WriteFile(in, InputOf(4));
    settings.blockCount = 0;
    RunConversion(in, out, "*", tables, settings);
    EXPECT_EQ(settings.gauge, (std::vector<int>{100}));
    settings.gauge.clear();
    settings.blockCount = 2;
    RunConversion(in, out, "*", tables, settings);
    EXPECT_EQ(settings.gauge, (std::vector<int>{50, 100}));
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(2, 3), 66);
    EXPECT_EQ(ProgressPercent(0, 0), 0);
}

TEST_F(RunConversionTest, MissingInputCreatesNothingAndKeepsAnExistingOutput) {
    const ConversionResult r = RunConversion(dir / "missing", out, "*", tables, settings);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.ErrorText, "File not found");
    EXPECT_EQ(r.ErrorFile, dir / "missing");
    EXPECT_FALSE(std::filesystem::exists(out));

    WriteFile(out, ToBytes("keep me"));
    EXPECT_TRUE(RunConversion(dir.Path().string(), out, "*", tables, settings).Failed);  // a folder
    EXPECT_EQ(ReadFile(out), ToBytes("keep me"));
}

TEST_F(RunConversionTest, OutputNamingTheInputIsRefusedAndTheInputKept) {
    const Bytes original = InputOf(2, 10);
    WriteFile(in, original);
    std::filesystem::create_hard_link(in, dir / "hard");
    std::vector<std::string> spellings = {in, dir / "hard", dir.Path().string() + "/./in.cdr",
                                          dir / "../" + dir.Path().filename().string() + "/in.cdr"};
#ifdef _WIN32
    // Windows names the same file with backslashes and in any letter case.
    std::string backslashed = in, upper = in;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    spellings.insert(spellings.end(), {backslashed, upper, "\\\\?\\" + backslashed});
    // The 8.3 short name of the same path.
    wchar_t shortName[MAX_PATH];
    const std::wstring longName = std::filesystem::path(backslashed).wstring();
    ASSERT_GT(GetShortPathNameW(longName.c_str(), shortName, MAX_PATH), 0u);
    EXPECT_NE(longName, std::wstring(shortName));  // the test folder's long name has a short one
    spellings.push_back(std::filesystem::path(shortName).string());
#endif
    for (const std::string& same : spellings) {
        const ConversionResult r = RunConversion(in, same, "*", tables, settings);
        EXPECT_TRUE(r.Failed) << same;
        EXPECT_EQ(r.ErrorText, "File access denied") << same;
        EXPECT_EQ(ReadFile(in), original) << same;
    }
}

TEST_F(RunConversionTest, OutputLinkedToTheInputIsRefused) {
    const Bytes original = InputOf(2, 10);
    WriteFile(in, original);
    std::error_code error;
    std::filesystem::create_symlink(in, dir / "soft", error);
    if (error)
        GTEST_SKIP() << "this system cannot make a symbolic link here: " << error.message();
    const ConversionResult r = RunConversion(in, dir / "soft", "*", tables, settings);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.ErrorText, "File access denied");
    EXPECT_EQ(ReadFile(in), original);
}

TEST_F(RunConversionTest, ReadOnlyInputConverts) {
    WriteFile(in, InputOf(1));
    std::filesystem::permissions(in, std::filesystem::perms::owner_read);
    EXPECT_FALSE(RunConversion(in, out, "*", tables, settings).Failed);
    EXPECT_EQ(ReadFile(out).size(), 34 * kFormattedLine);
}

// Names are UTF-8 inside the program; on Windows they must reach the system
// as the same characters, not read in the ANSI code page.
TEST_F(RunConversionTest, CyrillicNamesOpenAndAreCreatedAsSpelt) {
    const std::filesystem::path input = dir.Path() / std::filesystem::path(u8"звонки.cdr");
    const std::filesystem::path output = dir.Path() / std::filesystem::path(u8"звонки.txt");
    {
        const Bytes bytes = InputOf(1);
        std::ofstream file(input, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const ConversionResult r =
        RunConversion(fileaccess::Utf8(input), fileaccess::Utf8(output), "*", tables, settings);
    EXPECT_FALSE(r.Failed) << r.ErrorText;
    ASSERT_TRUE(std::filesystem::exists(output));
    EXPECT_EQ(std::filesystem::file_size(output), 34 * kFormattedLine);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
        EXPECT_TRUE(entry.path() == input || entry.path() == output) << fileaccess::Utf8(entry.path());
    }
    EXPECT_EQ(files, 2);
}

TEST_F(RunConversionTest, FullDeviceIsAFailureNotASuccess) {
    WriteFile(in, InputOf(2));
    const ConversionResult r = RunConversion(in, "/dev/full", "*", tables, settings);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.ErrorText, "I/O error 28");
    EXPECT_EQ(r.ErrorFile, "/dev/full");
}

TEST_F(RunConversionTest, OutputThatCannotBeCreatedFails) {
    WriteFile(in, InputOf(1));
    EXPECT_EQ(RunConversion(in, "", "*", tables, settings).ErrorText, "File not found");
    EXPECT_EQ(RunConversion(in, dir / "no/such/folder/out", "*", tables, settings).ErrorText, "File not found");
#ifdef _WIN32
    EXPECT_EQ(RunConversion(in, dir.Path().string(), "*", tables, settings).ErrorText, "File access denied");
#else
    EXPECT_EQ(RunConversion(in, dir.Path().string(), "*", tables, settings).ErrorText, "I/O error 21");  // EISDIR
#endif
}

TEST_F(RunConversionTest, FilesBeyondTwoGibibytesConvertWhole) {
    const std::int64_t size = (std::int64_t{1} << 31) + 3 * 2048 + 5;  // sparse
    WriteFile(in, {});
    std::filesystem::resize_file(in, static_cast<std::uintmax_t>(size));
    settings.mode = 1;
    tables.EbcdicToAscii = Filled('e');
    settings.blockCount = size / 2048;
    const ConversionResult r = RunConversion(in, "/dev/null", "", tables, settings);
    EXPECT_FALSE(r.Failed) << r.ErrorText;
    EXPECT_EQ(r.BlocksDone, size / 2048);
    EXPECT_EQ(settings.gauge.back(), 100);
    EXPECT_EQ(settings.gauge.size(), 100u);
}

namespace {

// n blocks that all differ (header and records), so that a block moved,
// lost or repeated shows; then tail bytes.
Bytes DistinctBlocks(int n, std::size_t tail) {
    Bytes bytes;
    for (int k = 0; k < n; ++k) {
        CallRecordBlock b = ExampleBlock();
        std::string header = std::to_string(1000000 + k);  // "H" and the six digits of k
        header[0] = 'H';
        std::memcpy(b.Header.Bytes + 1, header.data() + 1, 6);
        for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
            const std::string digits = std::to_string(1000000 + k * 34 + static_cast<int>(r)).substr(1);
            std::memcpy(b.Records[r].Bytes + 12, digits.data(), digits.size());  // in field 4
        }
        const Bytes one = BlockBytes(b);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    bytes.insert(bytes.end(), tail, 'T');
    return bytes;
}

// How a file of n blocks is cut: the counts of consecutive ranges.
using Cut = std::vector<std::int64_t> (*)(std::int64_t n);

}  // namespace

// Consecutive ranges, each converted on its own, joined in order give the
// whole file's output byte for byte: in every layout, with and without a
// trailing part, however the file is cut.
TEST_F(RunConversionTest, ConsecutiveRangesJoinIntoTheWholeOutput) {
    CodeTable reversed;
    for (std::size_t i = 0; i < reversed.size(); ++i)
        reversed[i] = static_cast<std::uint8_t>(255 - i);
    tables.EbcdicToAscii = reversed;
    tables.AsciiToEbcdic = reversed;
    struct Layout {
        const char* name;
        int mode;
        bool formatted;
        const char* separator;
    };
    const Layout layouts[] = {
        {"formatted *", 10, true, "*"},        {"raw TAB", 10, false, "\t"},
        {"formatted, empty", 10, true, ""},    {"raw, empty", 10, false, ""},
        {"EBCDIC formatted ;;", 0, true, ";;"}, {"EBCDIC raw, empty", 0, false, ""},
        {"binary to ASCII", 1, true, ""},      {"binary to EBCDIC", 11, true, ""},
    };
    struct Input {
        int blocks;
        std::size_t tail;
    };
    const Input inputs[] = {{1, 0}, {2, 0}, {7, 0}, {7, 1000}, {600, 2047}};
    const std::pair<const char*, Cut> cuts[] = {
        {"whole", [](std::int64_t n) { return std::vector<std::int64_t>{n}; }},
        {"empty first and last", [](std::int64_t n) { return std::vector<std::int64_t>{0, n, 0}; }},
        {"first alone", [](std::int64_t n) { return std::vector<std::int64_t>{1, n - 1}; }},
        {"last alone", [](std::int64_t n) { return std::vector<std::int64_t>{n - 1, 1}; }},
        {"three", [](std::int64_t n) {
             const std::int64_t a = (n + 2) / 3, b = (n - a + 1) / 2;
             return std::vector<std::int64_t>{a, b, n - a - b};
         }},
        {"one each", [](std::int64_t n) { return std::vector<std::int64_t>(static_cast<std::size_t>(n), 1); }},
    };
    for (const Input& input : inputs) {
        WriteFile(in, DistinctBlocks(input.blocks, input.tail));
        for (const Layout& layout : layouts) {
            settings.mode = layout.mode;
            settings.formatted = layout.formatted;
            ASSERT_FALSE(RunConversion(in, out, layout.separator, tables, settings).Failed);
            const Bytes whole = ReadFile(out);
            for (const auto& [cutName, cut] : cuts) {
                if (cutName == std::string("one each") && input.blocks > 7)
                    continue;  // 600 runs per layout add nothing the others do not show
                const std::string what = std::string(layout.name) + ", " + std::to_string(input.blocks) +
                                         " blocks + " + std::to_string(input.tail) + ", cut " + cutName;
                Bytes joined;
                std::int64_t first = 1;
                for (const std::int64_t count : cut(input.blocks)) {
                    RunFiles files{in, out};
                    files.Blocks = BlockRange{first, count};
                    const ConversionResult r = RunConversion(files, layout.separator, tables, settings);
                    ASSERT_FALSE(r.Failed) << what << ": " << r.ErrorText;
                    EXPECT_EQ(r.BlocksDone, count) << what;
                    const Bytes piece = ReadFile(out);
                    joined.insert(joined.end(), piece.begin(), piece.end());
                    first += count;
                }
                EXPECT_EQ(first, input.blocks + 1) << what;
                EXPECT_TRUE(joined == whole) << what << ": " << joined.size() << " bytes joined, "
                                             << whole.size() << " whole";
            }
        }
    }
}

// A range the file does not hold whole fails before anything is made.
TEST_F(RunConversionTest, ARangePastTheEndFailsAndMakesNoOutput) {
    WriteFile(in, DistinctBlocks(3, 1000));
    struct Case {
        BlockRange range;
        const char* text;
    };
    for (const Case c : {Case{{3, 2}, "blocks 3-4 asked for, but the input has 3 whole blocks"},
                         Case{{4, 1}, "blocks 4-4 asked for, but the input has 3 whole blocks"},
                         Case{{1, 4}, "blocks 1-4 asked for, but the input has 3 whole blocks"},
                         Case{{5, 0}, "no blocks from block 5 asked for, but the input has 3 whole blocks"}}) {
        RunFiles files{in, out};
        files.Blocks = c.range;
        const ConversionResult r = RunConversion(files, "*", tables, settings);
        EXPECT_TRUE(r.Failed);
        EXPECT_EQ(r.ErrorText, c.text);
        EXPECT_EQ(r.ErrorFile, in);
        EXPECT_EQ(r.BlocksDone, 0);
        EXPECT_FALSE(std::filesystem::exists(out)) << c.text;
    }
    for (const BlockRange range : {BlockRange{3, 1}, BlockRange{4, 0}}) {
        RunFiles last{in, out};
        last.Blocks = range;
        EXPECT_FALSE(RunConversion(last, "*", tables, settings).Failed);
    }
}

TEST_F(RunConversionTest, ReplaceOnSuccessKeepsTheOldOutputWhenAReadFailsMidway) {
    // More blocks than one read takes, so that the run has written part of
    // its temporary when the read after the first buffer fails.
    WriteFile(in, InputOf(600));
    const Bytes old = ToBytes("the previous output\n");
    WriteFile(out, old);
    bool broken = false;
    settings.afterBlock = [&](ScriptedSettings& s) {
        if (s.blocksSeen == 1)
            broken = BreakReads(in);
    };
    RunFiles files{in, out};
    files.Mode = OutputMode::ReplaceOnSuccess;
    const ConversionResult r = RunConversion(files, "*", tables, settings);
    if (!broken)
        GTEST_SKIP() << "no way here to make reads fail";
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.ErrorFile, in);
    EXPECT_GT(r.BlocksDone, 1);
    EXPECT_LT(r.BlocksDone, 600);
    EXPECT_EQ(ReadFile(out), old);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"in.cdr", "out.txt"}));
}
