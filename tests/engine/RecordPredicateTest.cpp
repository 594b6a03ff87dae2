#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "RecordPredicate.h"
#include "SelectionSamples.h"

namespace {

bool Matches(const std::string& conditions, const RecordLayout& layout, const std::uint8_t* record,
             const CodeTable* table = nullptr) {
    return RecordPredicate(ParseConditions(conditions), layout, table).Matches(record);
}

const RecordLayout kAscii = RecordLayout::Block(BlockCode::Ascii);

CallRecord Example() { return ExampleRecord(); }

}  // namespace

TEST(RecordPredicate, AllConditionsMustHold) {
    const CallRecord r = Example();  // field 5 "0712", field 6 "235959"
    EXPECT_TRUE(Matches("5=0712;6^=23", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("5=0712;6^=22", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("5=0713;6^=23", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("", kAscii, r.Bytes));
}

TEST(RecordPredicate, EqualWidthDigitsCompareInNumericOrder) {
    CallRecord r = Example();
    for (int duration : {0, 9, 10, 99, 100, 5959, 235959}) {
        char text[8];
        std::snprintf(text, sizeof text, "%06d", duration);
        std::memcpy(r.Bytes + 37, text, 6);
        for (int bound : {0, 9, 10, 100, 5959, 999999}) {
            char value[16];
            std::snprintf(value, sizeof value, "7<%06d", bound);
            EXPECT_EQ(Matches(value, kAscii, r.Bytes), duration < bound) << duration << value;
            std::snprintf(value, sizeof value, "7>=%06d", bound);
            EXPECT_EQ(Matches(value, kAscii, r.Bytes), duration >= bound) << duration << value;
        }
    }
}

TEST(RecordPredicate, Field13IsItsHexDigitsAndNeverRecoded) {
    // The example's field 13 holds + A z 0: 2B 41 7A 30.
    const CallRecord ascii = Example();
    EXPECT_TRUE(Matches("13=2B417A30", kAscii, ascii.Bytes));
    EXPECT_TRUE(Matches("13=2b417a30", kAscii, ascii.Bytes));  // hex digits of either case
    EXPECT_FALSE(Matches("13=+Az0", kAscii, ascii.Bytes));
    EXPECT_TRUE(Matches("13^=2B41", kAscii, ascii.Bytes));
    EXPECT_TRUE(Matches("13>2B417A2F", kAscii, ascii.Bytes));

    // Through a table the other fields are recoded, field 13 is not.
    const CodeTable table = XorTable();
    CallRecordBlock block = ExampleBlock();
    RecodeBlock(block, table);  // now the "EBCDIC" image of the example
    const RecordLayout ebcdic = RecordLayout::Block(BlockCode::Ebcdic);
    const std::uint8_t* rec = block.Records[0].Bytes;
    EXPECT_TRUE(Matches("13=2B417A30;5=0712;3=4951FFFF", ebcdic, rec, &table));
    EXPECT_FALSE(Matches("5=0712", ebcdic, rec, nullptr) && Matches("5=0712", kAscii, rec));
}

TEST(RecordPredicate, TextLayoutsCompareTheFieldsAsTheLineShowsThem) {
    const std::string formatted =
        "2*017*4951    *0123456789     *07/12*23:59:59*00:01:30*000090*01*02*3*4*2B41H7A30H*5\r\n";
    const auto* f = reinterpret_cast<const std::uint8_t*>(formatted.data());
    const RecordLayout fl = RecordLayout::Formatted("*");
    EXPECT_TRUE(Matches("5=07/12;6=23:59:59;3=4951    ;13=2B41H7A30H;14=5;1=2", fl, f));
    // The values as a raw line shows them select the same.
    EXPECT_TRUE(Matches("5=0712;6=235959;3=4951FFFF;13=2B417A30", fl, f));
    EXPECT_FALSE(Matches("3=4951FFFE", fl, f));

    const std::string raw = "2<>017<>4951FFFF<>0123456789FFFFF<>0712<>235959<>000130<>000090<>01<>02<>3<>4<>+Az0<>5\r\n";
    const auto* w = reinterpret_cast<const std::uint8_t*>(raw.data());
    const RecordLayout rl = RecordLayout::Raw("<>");
    EXPECT_TRUE(Matches("5=07/12;13=2B417A30;14=5;4=0123456789     ;12=4", rl, w));
    // Field 13 is its hex digits there too, not its bytes.
    EXPECT_FALSE(Matches("13=+Az0", rl, w));
}

namespace {

// One way a field's text reaches the comparison: which file, which field.
struct ComparedField {
    const char* name;
    RecordLayout layout;
    bool ebcdic;  // the record is the XorTable image, read through that table
    int field;
    std::string text;  // what the field's text is
};

// What the operators are documented to mean, on the field's text as
// FieldReader gives it: std::string comparison, bytes unsigned.
bool Reference(SelectionOp op, const std::string& text, const std::string& value) {
    switch (op) {
    case SelectionOp::Equal:
        return text == value;
    case SelectionOp::NotEqual:
        return text != value;
    case SelectionOp::Less:
        return text < value;
    case SelectionOp::LessEqual:
        return text <= value;
    case SelectionOp::Greater:
        return text > value;
    case SelectionOp::GreaterEqual:
        return text >= value;
    case SelectionOp::StartsWith:
        return text.starts_with(value);
    case SelectionOp::Contains:
        return text.find(value) != std::string::npos;
    }
    return false;
}

// Values shorter than, as long as and longer than the text: its first
// bytes (padded past its end), each with its first or last compared byte
// lowered, raised or with the high bit flipped, its inner pieces, and the
// text followed by the bytes that follow the field in the record.
std::vector<std::string> ValuesAround(const std::string& text, const std::string& after) {
    const std::size_t w = text.size();
    std::vector<std::string> values;
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, w - 1, w, w + 1, w + 3}) {
        std::string base = text.substr(0, std::min(length, w));
        base.resize(length, '5');
        values.push_back(base);
        if (length == 0)
            continue;
        for (std::size_t at : {std::size_t{0}, std::min(length, w) - 1}) {
            for (int change : {-1, +1, 0x80}) {
                std::string v = base;
                const auto b = static_cast<std::uint8_t>(v[at]);
                v[at] = static_cast<char>(change == 0x80 ? b ^ 0x80 : b + change);
                values.push_back(v);
            }
        }
        if (length > w)
            values.push_back(text + after.substr(0, length - w));
        if (length < w) {
            values.push_back(text.substr(w - length));     // a suffix
            values.push_back(text.substr(1, length));      // from inside
        }
    }
    return values;
}

}  // namespace

TEST(RecordPredicate, EveryOperatorAgreesWithStringComparisonOnEveryPath) {
    CallRecord ascii = Example();
    ascii.Bytes[12 + 10] = 0xE9;  // field 4 "0123456789\xE9FFFF": a byte past ASCII
    CallRecordBlock block;
    block.Records[0] = ascii;
    const CodeTable table = XorTable();
    RecodeBlock(block, table);
    const CallRecord ebcdic = block.Records[0];

    const RecordLayout ebcdicLayout = RecordLayout::Block(BlockCode::Ebcdic);
    const std::vector<ComparedField> paths = {
        // The field's bytes mapped and compared in place...
        {"EBCDIC field 2 through the table", ebcdicLayout, true, 2, "017"},
        {"EBCDIC field 4 through the table", ebcdicLayout, true, 4, "0123456789\xE9" "FFFF"},
        {"ASCII field 4", kAscii, false, 4, "0123456789\xE9" "FFFF"},
        {"ASCII field 14", kAscii, false, 14, "5"},
        // ...and field 13, whose hex digits are made first, never recoded.
        {"ASCII field 13", kAscii, false, 13, "2B417A30"},
        {"EBCDIC field 13", ebcdicLayout, true, 13, "2B417A30"},
    };
    const SelectionOp ops[] = {SelectionOp::Equal,   SelectionOp::NotEqual,     SelectionOp::Less,
                               SelectionOp::LessEqual, SelectionOp::Greater,    SelectionOp::GreaterEqual,
                               SelectionOp::StartsWith, SelectionOp::Contains};
    for (const ComparedField& path : paths) {
        const CodeTable* used = path.ebcdic ? &table : nullptr;
        const std::uint8_t* record = path.ebcdic ? ebcdic.Bytes : ascii.Bytes;
        const std::string text = FieldReader(path.layout, used).Text(record, path.field);
        ASSERT_EQ(text, path.text) << path.name;
        const FieldPlace place = path.layout.Field(path.field);
        const std::string after(reinterpret_cast<const char*>(ascii.Bytes) + place.Offset + place.Width,
                                kRecordSize - place.Offset - place.Width);
        for (const std::string& value : ValuesAround(text, after)) {
            for (SelectionOp op : ops) {
                const SelectionCondition condition{path.field, op, value};
                EXPECT_EQ(RecordPredicate({condition}, path.layout, used).Matches(record),
                          Reference(op, text, value))
                    << path.name << ": \"" << text << "\" " << OperatorText(op) << " \"" << value << "\"";
            }
        }
    }
}
