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

TEST(RecordPredicate, EachOperatorOnTheWorkedExample) {
    const CallRecord r = Example();  // field 5 "0712", field 6 "235959", field 3 "4951FFFF"
    EXPECT_TRUE(Matches("5=0712", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("5=071", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("5!=0713", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("5!=0712", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("6<240000", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("6<235959", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("6<=235959", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("6>235958", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("6>235959", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("6>=235959", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("3^=4951", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("3^=951", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("3*=951F", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("3*=49F", kAscii, r.Bytes));
    // All conditions must hold.
    EXPECT_TRUE(Matches("5=0712;6^=23", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("5=0712;6^=22", kAscii, r.Bytes));
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

TEST(RecordPredicate, ValueLongerOrShorterThanTheField) {
    const CallRecord r = Example();  // field 2 "017"
    EXPECT_FALSE(Matches("2=0170", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("2!=0170", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("2^=0170", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("2*=0170", kAscii, r.Bytes));
    // A proper prefix sorts first: "017" < "0170", "017" > "01".
    EXPECT_TRUE(Matches("2<0170", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("2>=0170", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("2>01", kAscii, r.Bytes));
    EXPECT_FALSE(Matches("2<=01", kAscii, r.Bytes));
    // An empty value: only "!=", ">", ">=", "^=" and "*=" hold for a non-empty field.
    EXPECT_FALSE(Matches("2=", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("2>", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("2^=", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("2*=", kAscii, r.Bytes));
}

TEST(RecordPredicate, BytesCompareUnsigned) {
    CallRecord r = Example();
    r.Bytes[59] = 0xE9;  // a windows-1251 letter sorts after every ASCII byte
    EXPECT_TRUE(Matches("14>z", kAscii, r.Bytes));
    EXPECT_TRUE(Matches("14=\xE9", kAscii, r.Bytes));
}

TEST(RecordPredicate, Field13IsItsHexDigitsAndNeverRecoded) {
    // The example's field 13 holds + A z 0: 2B 41 7A 30.
    const CallRecord ascii = Example();
    EXPECT_TRUE(Matches("13=2B417A30", kAscii, ascii.Bytes));
    EXPECT_FALSE(Matches("13=2b417a30", kAscii, ascii.Bytes));
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
    EXPECT_FALSE(Matches("5=0712", fl, f));

    const std::string raw = "2<>017<>4951FFFF<>0123456789FFFFF<>0712<>235959<>000130<>000090<>01<>02<>3<>4<>+Az0<>5\r\n";
    const auto* w = reinterpret_cast<const std::uint8_t*>(raw.data());
    const RecordLayout rl = RecordLayout::Raw("<>");
    EXPECT_TRUE(Matches("5=0712;13=+Az0;14=5;4=0123456789FFFFF;12=4", rl, w));
    EXPECT_FALSE(Matches("13=2B417A30", rl, w));
}
