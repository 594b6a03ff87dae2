// A condition selects the same records in every kind of file made from the
// same records: a block file (ASCII and EBCDIC), a raw output, a raw TAB
// output and a formatted output (which leaves out the type-F records), in
// the browser's scan and in the converter's -w.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ConversionRun.h"
#include "RecordFile.h"
#include "RecordPredicate.h"
#include "SelectionExport.h"
#include "SelectionScan.h"
#include "SelectionSamples.h"
#include "TestFiles.h"

namespace {

constexpr int kBlocks = 3;

// VariedBlocks with fields 3, 6 and 7 varied too: field 3 ends in F for odd
// records, field 4 ends in F for every third, times run through the day.
Bytes Records() {
    Bytes bytes = VariedBlocks(kBlocks);
    for (int n = 0; n < kBlocks * static_cast<int>(kRecordsPerBlock); ++n) {
        std::uint8_t* rec = bytes.data() + n / 34 * kBlockSize + kHeaderSize + n % 34 * kRecordSize;
        std::memcpy(rec + 4, n % 2 ? "1234FFFF" : "12345678", 8);
        if (n % 3 == 0)
            std::memset(rec + 12 + 10, 'F', 5);
        char text[16];
        std::snprintf(text, sizeof text, "%02d%02d%02d", n % 24, n % 60, n * 7 % 60);
        std::memcpy(rec + 31, text, 6);
        std::snprintf(text, sizeof text, "%02d%02d%02d", (n + 5) % 24, 59, n % 60);
        std::memcpy(rec + 37, text, 6);
    }
    return bytes;
}

// The value of field n of an ASCII record, worked out here from its bytes
// alone: the field's bytes, field 13 as 8 upper-case hex digits.
std::string ValueOf(const std::uint8_t* rec, int n) {
    const FieldPlace f = kCallRecordFields[static_cast<std::size_t>(n - 1)];
    if (n == 13) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X%02X", rec[f.Offset], rec[f.Offset + 1], rec[f.Offset + 2],
                      rec[f.Offset + 3]);
        return hex;
    }
    return std::string(reinterpret_cast<const char*>(rec + f.Offset), f.Width);
}

// Which records (numbers from 0) the condition holds for, by std::string
// comparison of the values with the value written in the table's second
// column (already in the value's form).
std::vector<std::uint64_t> Expected(const Bytes& blocks, int field, SelectionOp op, const std::string& value,
                                    bool withoutF) {
    std::vector<std::uint64_t> chosen;
    std::uint64_t line = 0;
    for (std::uint64_t n = 0; n < kBlocks * kRecordsPerBlock; ++n) {
        const std::uint8_t* rec = blocks.data() + n / 34 * kBlockSize + kHeaderSize + n % 34 * kRecordSize;
        if (withoutF && rec[0] == 'F')
            continue;
        const std::string v = ValueOf(rec, field);
        bool holds = false;
        switch (op) {
        case SelectionOp::Equal: holds = v == value; break;
        case SelectionOp::NotEqual: holds = v != value; break;
        case SelectionOp::Less: holds = v < value; break;
        case SelectionOp::LessEqual: holds = v <= value; break;
        case SelectionOp::Greater: holds = v > value; break;
        case SelectionOp::GreaterEqual: holds = v >= value; break;
        case SelectionOp::StartsWith: holds = v.starts_with(value); break;
        case SelectionOp::Contains: holds = v.find(value) != std::string::npos; break;
        }
        if (holds)
            chosen.push_back(withoutF ? line : n);
        ++line;
    }
    return chosen;
}

std::vector<std::uint64_t> Chosen(const RecordFile& file, const std::string& condition, const CodeTable* table) {
    JobProgress progress;
    const auto index =
        SelectRecords(file, RecordPredicate(ParseConditions(condition), file.Layout(), table), progress);
    std::vector<std::uint64_t> chosen;
    for (std::uint64_t i = 0; i < file.RecordCount(); ++i)
        if (index->Contains(i))
            chosen.push_back(i);
    return chosen;
}

struct Settings : RunSettings {
    int mode = 10;
    int ConversionMode() const override { return mode; }
    std::int64_t BlockCount() const override { return 0; }
    bool FormatBox1() const override { return false; }
    bool Converting() override { return true; }
    void UpdateGauge(int) override {}
};

// A value as written on a field, and as the records hold it, with the
// operators it is valid with: a whole value with every one, the beginning
// of one with ^= and *=, a part of one with *= only; a value of none is
// refused with every operator.
enum class Takes { Whole, Beginning, Part, None };
struct Row {
    int field;
    const char* written;
    const char* value;
    Takes takes;
};

const Row kRows[] = {
    // Date: MMDD or MM/DD.
    {5, "0707", "0707", Takes::Whole},     {5, "07/07", "0707", Takes::Whole},  {5, "06/01", "0601", Takes::Whole},
    {5, "07/", "07", Takes::Beginning},    {5, "071", "071", Takes::Beginning}, {5, "/07", "07", Takes::Part},
    {5, "07-12", "", Takes::None},         {5, "07123", "", Takes::None},       {5, " 0712", "", Takes::None},
    {5, "=0712", "", Takes::None},         {5, "0712 ", "", Takes::None},
    // Time: hhmmss or hh:mm:ss.
    {6, "120000", "120000", Takes::Whole}, {6, "12:00:00", "120000", Takes::Whole},
    {7, "10:59:30", "105930", Takes::Whole}, {6, "05:", "05", Takes::Beginning}, {7, ":59:", "59", Takes::Part},
    {7, "5:00", "500", Takes::Part},       {7, "0:05:00", "00500", Takes::Part},     {6, "12:00:0a", "", Takes::None},
    {6, "1200000", "", Takes::None},       {7, "0:5:00", "", Takes::None},
    // Field 13: 8 hex digits of either case, or the formatted XXXXHXXXXH.
    {13, "070D0A2A", "070D0A2A", Takes::Whole}, {13, "070d0a2a", "070D0A2A", Takes::Whole},
    {13, "070DH0A2AH", "070D0A2A", Takes::Whole}, {13, "050dH0A", "050D0A", Takes::Beginning},
    {13, "", "", Takes::Beginning},        {13, "DH0a", "D0A", Takes::Part},     {13, "2B417A3G", "", Takes::None},
    {13, "2B417A300", "", Takes::None},    {13, "h", "", Takes::None},
    // Digits.
    {2, "017", "017", Takes::Whole},       {2, "17", "17", Takes::Beginning},   {2, "0170", "", Takes::None},
    {2, "01F", "", Takes::None},           {14, "5", "5", Takes::Whole},        {14, "x", "", Takes::None},
    // Digits padded with F, a blank standing for F.
    {3, "1234FFFF", "1234FFFF", Takes::Whole}, {3, "1234    ", "1234FFFF", Takes::Whole},
    {3, "1234 ", "1234F", Takes::Beginning}, {4, "FFFFF", "FFFFF", Takes::Beginning},
    {4, "0000000000001  ", "0000000000001FF", Takes::Whole}, {3, "1234fFFF", "", Takes::None},
    {3, "1234FFFFF", "", Takes::None},     {4, "0123456789      ", "", Takes::None},
    // Text: anything.
    {1, "F", "F", Takes::Whole},           {1, "2", "2", Takes::Whole},         {1, "FF", "FF", Takes::Whole},
};

bool Valid(Takes takes, SelectionOp op) {
    switch (takes) {
    case Takes::Whole: return true;
    case Takes::Beginning: return op == SelectionOp::StartsWith || op == SelectionOp::Contains;
    case Takes::Part: return op == SelectionOp::Contains;
    case Takes::None: break;
    }
    return false;
}


class OneMeaning : public ::testing::Test {
protected:
    void SetUp() override {
        blocks = Records();
        WriteFile(dir / "calls.asc", blocks);
        WriteFile(dir / "calls.ebc", ToXorEbcdic(blocks));
        for (const auto& [name, formatted, separator] :
             {std::tuple{"raw.txt", false, "*"}, {"tab.txt", false, "\t"}, {"fmt.txt", true, "*"}}) {
            const std::string text = Converted(blocks, formatted, separator);
            WriteFile(dir / name, ToBytes(text));
        }
    }
    TempDir dir;
    Bytes blocks;
    const CodeTable table = XorTable();
};

TEST_F(OneMeaning, AValidConditionSelectsTheSameRecordsInEveryFileAndAnInvalidOneIsRefused) {
    const RecordFile ascii(dir / "calls.asc");
    const RecordFile ebcdic(dir / "calls.ebc", RecordLayout::Block(BlockCode::Ebcdic));
    const RecordFile raw(dir / "raw.txt", RecordLayout::Raw("*"));
    const RecordFile tab(dir / "tab.txt", RecordLayout::Raw("\t"));
    const RecordFile formatted(dir / "fmt.txt", RecordLayout::Formatted("*"));
    ASSERT_EQ(raw.RecordCount(), kBlocks * kRecordsPerBlock);
    CodeTables tables;
    tables.EbcdicToAscii = table;
    const std::string rawText = Converted(blocks, false, "*");
    const std::size_t line = raw.Layout().LineLength();
    std::size_t nonEmpty = 0, valid = 0;
    for (const Row& row : kRows) {
        for (const SelectionOp op : kSelectionOps) {
            // "<" and ">" before "=" would be "<=" and ">=": no text stands for them.
            if ((op == SelectionOp::Less || op == SelectionOp::Greater) && row.written[0] == '=')
                continue;
            const std::string condition = std::to_string(row.field) + OperatorText(op) + row.written;
            SCOPED_TRACE(condition);
            if (!Valid(row.takes, op)) {
                try {
                    CheckCondition(ParseCondition(condition));
                    ADD_FAILURE() << "accepted";
                } catch (const SelectionError& e) {
                    EXPECT_NE(std::string(e.what()).find("\": field " + std::to_string(row.field) + " holds "),
                              std::string::npos)
                        << e.what();
                }
                continue;
            }
            EXPECT_NO_THROW(CheckCondition(ParseCondition(condition)));
            ++valid;
            const auto all = Expected(blocks, row.field, op, row.value, false);
            const auto lessF = Expected(blocks, row.field, op, row.value, true);
            nonEmpty += !all.empty();
            EXPECT_EQ(Chosen(ascii, condition, nullptr), all) << "ASCII block file";
            EXPECT_EQ(Chosen(ebcdic, condition, &table), all) << "EBCDIC block file";
            EXPECT_EQ(Chosen(raw, condition, nullptr), all) << "raw output";
            EXPECT_EQ(Chosen(tab, condition, nullptr), all) << "raw TAB output";
            EXPECT_EQ(Chosen(formatted, condition, nullptr), lessF) << "formatted output";

            // The converter tests recoded blocks as ASCII blocks, from either input.
            const RecordPredicate where(ParseConditions(condition), RecordLayout::Block(BlockCode::Ascii), nullptr);
            std::string wanted;
            for (std::uint64_t n : all)
                wanted += rawText.substr(n * line, line);
            for (const auto& [input, mode] : {std::pair{"calls.asc", kAsciiToText}, {"calls.ebc", kEbcdicToText}}) {
                Settings settings;
                settings.mode = mode;
                const ConversionResult result =
                    RunConversion(dir / input, dir / "where.txt", "*", tables, settings, &where);
                ASSERT_FALSE(result.Failed) << result.ErrorText;
                EXPECT_EQ(result.RecordsSelected, static_cast<std::int64_t>(all.size())) << input;
                const Bytes got = ReadFile(dir / "where.txt");
                EXPECT_EQ(std::string(got.begin(), got.end()), wanted) << input;
            }
        }
    }
    // Most valid conditions select something, so a selection that never matches fails.
    EXPECT_GT(nonEmpty, valid * 3 / 4);
}

// The conditions that cannot hold say so, and only they.
TEST(NeverMatches, NamesTheFieldsWidthAndTheValuesLength) {
    struct Case {
        const char* condition;
        const char* why;  // empty: it can match
    } const cases[] = {
        {"5==0712", "condition '5==0712' can never match: field 5 holds 4 characters, the value \"=0712\" has 5"},
        {"5 = 0712", "condition '5= 0712' can never match: field 5 holds 4 characters, the value \" 0712\" has 5"},
        {"5=07/12", ""},
        {"5=07/123", "condition '5=07/123' can never match: field 5 holds 4 characters, the value \"07/123\" "
                     "(read as \"07123\") has 5"},
        {"13=2B41H7A30H", ""},
        {"13=2B417A3", "condition '13=2B417A3' can never match: field 13 holds 8 characters, the value "
                       "\"2B417A3\" has 7"},
        {"13^=2B417A300", "condition '13^=2B417A300' can never match: field 13 holds 8 characters, the value "
                          "\"2B417A300\" has 9"},
        {"1*=FF", "condition '1*=FF' can never match: field 1 holds 1 character, the value \"FF\" has 2"},
        {"1^=", ""},
        {"1<FF", ""},
        {"1!=FF", ""},
        {"4^=0123456789FFFFFF0", "condition '4^=0123456789FFFFFF0' can never match: field 4 holds 15 "
                                 "characters, the value \"0123456789FFFFFF0\" has 17"},
        {"4=0123456789      ", "condition '4=0123456789      ' can never match: field 4 holds 15 characters, "
                               "the value \"0123456789      \" (read as \"0123456789FFFFFF\") has 16"},
        {"4=0123456789     ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.condition);
        const auto why = NeverMatches(ParseCondition(c.condition));
        EXPECT_EQ(why ? NeverMatchText(*why) : "", c.why);
    }
}

}  // namespace

namespace {

struct CsvSettings : Settings {
    std::vector<std::string> names;
    std::vector<std::string> FieldNames() const override { return names; }
};

// The browser's CSV export of a selection writes what the converter's -o csv
// -w writes for the same file and conditions; a formatted output, lacking
// the type-F records and the numbers, the same rows less those, with the
// block and record empty.
TEST_F(OneMeaning, TheBrowsersCsvIsTheConvertersCsv) {
    const RecordFile ascii(dir / "calls.asc");
    const RecordFile ebcdic(dir / "calls.ebc", RecordLayout::Block(BlockCode::Ebcdic));
    const RecordFile raw(dir / "raw.txt", RecordLayout::Raw("*"));
    const RecordFile tab(dir / "tab.txt", RecordLayout::Raw("\t"));
    const RecordFile formatted(dir / "fmt.txt", RecordLayout::Formatted("*"));
    CodeTables tables;
    tables.EbcdicToAscii = table;
    for (const char* conditions : {"", "5=07/07", "3^=1234 ;6>=12:00:00", "13*=0D0A", "1=F", "5==0712"}) {
        SCOPED_TRACE(conditions);
        const auto parsed = ParseConditions(conditions);
        const RecordPredicate where(parsed, RecordLayout::Block(BlockCode::Ascii), nullptr);
        CsvSettings settings;
        settings.mode = kEbcdicToCsv;
        const ConversionResult result =
            RunConversion(dir / "calls.ebc", dir / "calls.csv", "", tables, settings, parsed.empty() ? nullptr : &where);
        ASSERT_FALSE(result.Failed) << result.ErrorText;
        const Bytes bytes = ReadFile(dir / "calls.csv");
        const std::string converted(bytes.begin(), bytes.end());
        // Without the numbers and the type-F rows: what a formatted output can give.
        std::string lessF;
        for (std::size_t at = 0; at < converted.size();) {
            const std::size_t end = converted.find("\r\n", at) + 2;
            const std::string row = converted.substr(at, end - at);
            if (at == 0) {
                lessF += row;
            } else {
                const std::size_t values = row.find(',', row.find(',') + 1) + 1;
                if (row[values] != 'F')
                    lessF += ",," + row.substr(values);
            }
            at = end;
        }
        for (const auto& [file, used] : {std::pair{&ascii, (const CodeTable*)nullptr}, {&ebcdic, &table},
                                         {&raw, nullptr}, {&tab, nullptr}, {&formatted, nullptr}}) {
            SCOPED_TRACE(file->Layout().Describe());
            JobProgress progress;
            const auto index = SelectRecords(*file, RecordPredicate(parsed, file->Layout(), used), progress);
            ExportFormat csv;
            csv.Format = ExportFormat::Csv;
            ASSERT_TRUE(ExportSelection(*file, &*index, used, csv, dir / "browser.csv"));
            const Bytes got = ReadFile(dir / "browser.csv");
            EXPECT_EQ(std::string(got.begin(), got.end()),
                      file->Layout().Kind == LayoutKind::Formatted ? lessF : converted);
        }
    }
}

// Every record of every whole block, type F included, and the header alone
// when nothing is selected.
TEST_F(OneMeaning, CsvHasARowPerRecordAndAHeader) {
    CodeTables tables;
    CsvSettings settings;
    settings.mode = kAsciiToCsv;
    ConversionResult result = RunConversion(dir / "calls.asc", dir / "all.csv", "", tables, settings);
    ASSERT_FALSE(result.Failed);
    const Bytes all = ReadFile(dir / "all.csv");
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1 + kBlocks * 34);
    EXPECT_EQ(result.LinesWritten, kBlocks * 34);
    const RecordPredicate none(ParseConditions("2=999"), RecordLayout::Block(BlockCode::Ascii), nullptr);
    settings.names = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n"};
    result = RunConversion(dir / "calls.asc", dir / "none.csv", "", tables, settings, &none);
    const Bytes header = ReadFile(dir / "none.csv");
    EXPECT_EQ(std::string(header.begin(), header.end()), "block,record,a,b,c,d,e,f,g,h,i,j,k,l,m,n\r\n");
}

// A field with a comma, a quote, CR or LF is quoted with its quotes doubled;
// windows-1251 bytes become UTF-8, an undefined one U+FFFD, and counted.
// Each on its own too, and in fields across the record.
TEST_F(OneMeaning, CsvQuotesAndDecodesAFieldAsItMust) {
    const struct {
        std::size_t offset;  // where text goes in record 1
        std::string text;
        const char* written;
        std::int64_t undecodable;
    } cases[] = {
        {12, "0123456789FFFFF", ",0123456789FFFFF,", 0},
        {12, "a,b\"c\r\nd      .", ",\"a,b\"\"c\r\nd      .\",", 0},
        {12, "a,b", ",\"a,b3456789FFFFF\",", 0},
        {12, "\"", ",\"\"\"123456789FFFFF\",", 0},
        {12, "\n", ",\"\n123456789FFFFF\",", 0},
        {12, "\xC0\xE1\x98", ",\xD0\x90\xD0\xB1\xEF\xBF\xBD" "3456789FFFFF,", 1},
        {53, ",", ",\",\",", 0},
        {59, "\xC0", ",\xD0\x90\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        Bytes one(blocks.begin(), blocks.begin() + kBlockSize);
        std::memcpy(one.data() + kHeaderSize + 12, "0123456789FFFFF", 15);
        std::memcpy(one.data() + kHeaderSize + c.offset, c.text.data(), c.text.size());
        WriteFile(dir / "one.asc", one);
        CodeTables tables;
        CsvSettings settings;
        settings.mode = kAsciiToCsv;
        const ConversionResult result = RunConversion(dir / "one.asc", dir / "one.csv", "", tables, settings);
        ASSERT_FALSE(result.Failed) << result.ErrorText;
        const Bytes bytes = ReadFile(dir / "one.csv");
        const std::string csv(bytes.begin(), bytes.end());
        const std::size_t row = csv.find("\r\n") + 2;
        EXPECT_NE(csv.find(c.written, row), std::string::npos) << csv.substr(row, 120);
        EXPECT_EQ(result.Undecodable, c.undecodable);
    }
}

}  // namespace

namespace {

// The record pane names what a field holds, shows a raw text the readable
// way, and names a formatted field's value beside it.
TEST(FieldMeaning, ShowsTheTextReadablyAndNamesAFormattedFieldsValue) {
    const RecordLayout formatted = RecordLayout::Formatted("*");
    const RecordLayout raw = RecordLayout::Raw("*");
    const RecordLayout block = RecordLayout::Block(BlockCode::Ebcdic);
    const struct {
        const RecordLayout& layout;
        int field;
        const char* text;
        FieldKind kind;
        const char* shown;
        const char* value;
    } cases[] = {
        {formatted, 5, "07/12", FieldKind::Date, "", "0712"},
        {formatted, 6, "23:59:59", FieldKind::Time, "", "235959"},
        {formatted, 13, "2B41H7A30H", FieldKind::Binary, "", "2B417A30"},
        {formatted, 3, "4951    ", FieldKind::Text, "", "4951FFFF"},
        {formatted, 4, "0123456789     ", FieldKind::Text, "", "0123456789FFFFF"},
        {formatted, 2, "017", FieldKind::Digits, "", ""},
        {raw, 5, "0712", FieldKind::Date, "07/12", ""},
        {raw, 7, "235959", FieldKind::Time, "23:59:59", ""},
        {raw, 13, "\x2B\x41\x7A\x30", FieldKind::Binary, "2B417A30", ""},
        {block, 13, "2B417A30", FieldKind::Binary, "2B 41 7A 30", ""},
        {raw, 3, "4951FFFF", FieldKind::Text, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FieldMeaning meaning = MeaningOfField(c.layout, c.field, c.text);
        EXPECT_EQ(meaning.Kind, c.kind);
        EXPECT_EQ(meaning.Shown, c.shown);
        EXPECT_EQ(meaning.Value, c.value);
    }
}

}  // namespace
