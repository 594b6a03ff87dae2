#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <thread>

#include "ConversionRun.h"
#include "IOError.h"
#include "SelectionExport.h"
#include "SelectionSamples.h"
#include "SelectionScan.h"

namespace {

struct BatchRun : RunSettings {
    bool formatted = true;
    int ConversionMode() const override { return 10; }
    std::int64_t BlockCount() const override { return 0; }
    bool FormatBox1() const override { return formatted; }
    bool Converting() override { return true; }
    void UpdateGauge(int) override {}
};

std::string Read(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

SelectionIndex Select(const RecordFile& file, const std::string& conditions, const CodeTable* table) {
    JobProgress progress;
    return *SelectRecords(file, RecordPredicate(ParseConditions(conditions), file.Layout(), table), progress);
}

std::string Exported(const RecordFile& file, const SelectionIndex* selection, const CodeTable* table,
                     const ExportFormat& format, const std::string& target) {
    EXPECT_TRUE(ExportSelection(file, selection, table, format, target));
    return Read(target);
}

struct LayoutCase {
    bool formatted;
    std::string separator;
};

class WhereAgainstExport : public ::testing::TestWithParam<LayoutCase> {};

// Records 0-99 without the 5th-month dates, with every 7th an F record:
// whole blocks drop out, others keep a few records.
const char* const kConditions = "4<000000000000100;5!=0506;5!=0606";

}  // namespace

TEST_P(WhereAgainstExport, ConverterWithSelectionWritesWhatTheBrowserExports) {
    const LayoutCase& c = GetParam();
    TempDir dir;
    const Bytes blocks = VariedBlocks(12);
    WriteFile(dir / "ascii.cdr", blocks);
    WriteFile(dir / "ebcdic.cdr", ToXorEbcdic(blocks));

    BatchRun settings;
    settings.formatted = c.formatted;
    const RecordPredicate where(ParseConditions(kConditions), RecordLayout::Block(BlockCode::Ascii), nullptr);
    const ConversionResult run = RunConversion(dir / "ascii.cdr", dir / "where.txt", c.separator, CodeTables{}, settings, &where);
    ASSERT_FALSE(run.Failed) << run.ErrorText;
    const std::string converted = Read(dir / "where.txt");

    const CodeTable table = XorTable();
    RecordFile ebcdic(dir / "ebcdic.cdr");
    const SelectionIndex selection = Select(ebcdic, kConditions, &table);
    EXPECT_EQ(static_cast<std::uint64_t>(run.RecordsSelected), selection.Count());
    ExportFormat format;
    format.Formatted = c.formatted;
    format.Separator = c.separator;
    EXPECT_EQ(Exported(ebcdic, &selection, &table, format, dir / "export.txt"), converted);

    // Records 0-99 lie in blocks 0-2; the rest give nothing, not even a header.
    EXPECT_EQ(converted.find("HDR0003"), std::string::npos);
    if (c.separator.empty()) {
        EXPECT_EQ(converted.compare(0, 8, "HDR0000#"), 0);
    }

    // Exporting the whole file gives what the converter writes without one.
    EXPECT_EQ(Exported(ebcdic, nullptr, &table, format, dir / "all.txt"), Converted(blocks, c.formatted, c.separator));
}

INSTANTIATE_TEST_SUITE_P(EveryTextLayout, WhereAgainstExport,
                         ::testing::Values(LayoutCase{true, "*"}, LayoutCase{false, "*"}, LayoutCase{true, "\t"},
                                           LayoutCase{false, "\t"}, LayoutCase{true, "::"},
                                           LayoutCase{false, "<|>"}, LayoutCase{true, ""},
                                           LayoutCase{false, ""}));

TEST(SelectionExport, TextOutputKeepsTheSelectedLinesAsTheyStand) {
    TempDir dir;
    const std::string text = Converted(VariedBlocks(30), false, "\t");
    WriteFile(dir / "raw.txt", ToBytes(text));
    RecordFile file(dir / "raw.txt");
    const SelectionIndex selection = Select(file, "1=3", nullptr);
    std::string expected;
    const std::size_t length = file.Layout().LineLength();
    for (std::size_t at = 0; at < text.size(); at += length)
        if (text[at] == '3')
            expected += text.substr(at, length);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Exported(file, &selection, nullptr, {}, dir / "sel.txt"), expected);
}

TEST(SelectionExport, CsvIsQuotedUtf8WithAHeader) {
    TempDir dir;
    Bytes blocks = VariedBlocks(1);
    blocks[8 + 2] = ',';
    blocks[8 + 4] = '"';
    blocks[8 + 5] = 0xC0;  // windows-1251 "А"
    blocks[8 + 6] = 0x98;  // the one byte windows-1251 leaves undefined: U+FFFD
    WriteFile(dir / "blocks", blocks);
    RecordFile file(dir / "blocks");
    const SelectionIndex selection = Select(file, "4<000000000000002", nullptr);
    ExportFormat csv;
    csv.Format = ExportFormat::Csv;
    const std::string out = Exported(file, &selection, nullptr, csv, dir / "out.csv");
    const std::string header =
        "block,record,field1,field2,field3,field4,field5,field6,field7,field8,field9,field10,field11,field12,"
        "field13,field14\r\n";
    EXPECT_EQ(out, header +
                       "1,1,F,\"0,7\",\"\"\"\xD0\x90\xEF\xBF\xBD" "1FFFF\","
                       "000000000000000,0101,235959,000130,000090,01,02,3,4,"
                       "000D0A09,5\r\n"
                       "1,2,1,017,4951FFFF,000000000000001,0202,235959,000130,000090,01,02,3,4,010D0A2A,5\r\n");

    // From raw lines, field 13 (binary bytes there) goes out in hex too,
    // and the line's number gives the block and record.
    WriteFile(dir / "raw.txt", ToBytes(Converted(VariedBlocks(2), false, "*")));
    RecordFile raw(dir / "raw.txt");
    const SelectionIndex one = Select(raw, "4=000000000000035", nullptr);
    EXPECT_EQ(Exported(raw, &one, nullptr, csv, dir / "raw.csv"),
              header + "2,2,F,017,4951FFFF,000000000000035,1208,235959,000130,000090,01,02,3,4,230D0A2A,5\r\n");

    // A formatted line's fields are read back to the values; it cannot say
    // its block and record. Named fields head their columns, quoted as needed.
    WriteFile(dir / "fmt.txt", ToBytes(Converted(VariedBlocks(1), true, "*")));
    RecordFile formatted(dir / "fmt.txt");
    const SelectionIndex first = Select(formatted, "4=000000000000001", nullptr);
    csv.FieldNames = {"type", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m,n", "Поле"};
    EXPECT_EQ(Exported(formatted, &first, nullptr, csv, dir / "fmt.csv"),
              "block,record,type,b,c,d,e,f,g,h,i,j,k,l,\"m,n\",Поле\r\n"
              ",,1,017,4951FFFF,000000000000001,0202,235959,000130,000090,01,02,3,4,010D0A2A,5\r\n");
}

TEST(SelectionExport, AtomicAndNeverOverTheFileItReads) {
    TempDir dir;
    WriteFile(dir / "blocks", VariedBlocks(3));
    WriteFile(dir / "target", ToBytes("old"));
    RecordFile file(dir / "blocks");
    ExportFormat format;

    // Stopped: the old target stays, no temporary is left.
    JobProgress stopped;
    stopped.Stop = true;
    EXPECT_FALSE(ExportSelection(file, nullptr, nullptr, format, dir / "target", &stopped));
    EXPECT_EQ(Read(dir / "target"), "old");

    // Over the file being read, even through a link.
    std::error_code error;
    std::filesystem::create_symlink(dir / "blocks", dir / "link", error);
    if (error)  // where no symbolic link can be made (Wine), a hard link names it too
        std::filesystem::create_hard_link(dir / "blocks", dir / "link");
    EXPECT_THROW(ExportSelection(file, nullptr, nullptr, format, dir / "link"), IOError);
    EXPECT_EQ(ReadFile(dir / "blocks"), VariedBlocks(3));

    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 3);
}

TEST(SelectionExport, ATargetThatCannotBeMadeFailsAtOnceNamingIt) {
    TempDir dir;
    WriteFile(dir / "blocks", VariedBlocks(3));
    WriteFile(dir / "plainfile", ToBytes("plain"));
    const auto file = std::make_shared<const RecordFile>(dir / "blocks");
    for (const std::string& target : {dir / "none/out.csv", dir / "plainfile/out.csv",
                                     dir / (std::string(300, 'n') + ".csv")}) {
        SCOPED_TRACE(target);
        // On a thread, so that an export that never ends fails the test
        // instead of hanging it: the bound tells a hang, not a speed.
        std::promise<std::string> error;
        std::future<std::string> ended = error.get_future();
        std::thread([file, target, error = std::move(error)]() mutable {
            try {
                ExportSelection(*file, nullptr, nullptr, {}, target);
                error.set_value("");
            } catch (const IOError& e) {
                error.set_value(e.FileName());
            }
        }).detach();
        ASSERT_EQ(ended.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the export hangs";
        EXPECT_EQ(ended.get(), target);
        EXPECT_EQ(Read(dir / "plainfile"), "plain");
        int entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
            ++entries;
        EXPECT_EQ(entries, 2);
    }
}

TEST(SelectionExport, AFailedReadOrAShorterFileFailsTheExportAndKeepsTheTarget) {
    TempDir dir;
    // More than one read chunk, so that the export has written some before it fails.
    const Bytes blocks = VariedBlocks(1000);
    const auto onlyTarget = [&] {
        int entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
            ++entries;
        return entries == 2;
    };
    for (ExportFormat::Kind kind : {ExportFormat::Lines, ExportFormat::Csv}) {
        ExportFormat format;
        format.Format = kind;
        WriteFile(dir / "blocks", blocks);
        WriteFile(dir / "target", ToBytes("old"));
        {
            RecordFile file(dir / "blocks");
            std::filesystem::resize_file(dir / "blocks", file.Size() / 2);
            try {
                ExportSelection(file, nullptr, nullptr, format, dir / "target");
                ADD_FAILURE() << "exported half a file as the whole";
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find("ends at byte"), std::string::npos) << e.what();
            }
            EXPECT_EQ(Read(dir / "target"), "old");
            EXPECT_TRUE(onlyTarget());
        }
        WriteFile(dir / "blocks", blocks);
        RecordFile file(dir / "blocks");
        if (!BreakReads(dir / "blocks"))
            GTEST_SKIP() << "no way here to make reads fail";
        try {
            ExportSelection(file, nullptr, nullptr, format, dir / "target");
            ADD_FAILURE() << "a failed read passed for the end of the file";
        } catch (const IOError& e) {
            EXPECT_EQ(e.FileName(), dir / "blocks");
        }
        EXPECT_EQ(Read(dir / "target"), "old");
        EXPECT_TRUE(onlyTarget());
    }
}
