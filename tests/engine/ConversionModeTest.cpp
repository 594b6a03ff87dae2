#include <gtest/gtest.h>

#include "ConversionMode.h"

TEST(DeriveOutputName, ExtensionByMode) {
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 0), "/in/calls.txt");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 10), "/in/calls.txt");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 1), "/in/calls.asc");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 11), "/in/calls.ebs");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 20), std::nullopt);
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 2), "/in/calls.csv");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 12), "/in/calls.csv");
    EXPECT_EQ(DeriveOutputName("/in/calls.dat", 3), std::nullopt);
}

TEST(DeriveOutputName, CutsAtFirstDotOfTheFileNameOnly) {
    EXPECT_EQ(DeriveOutputName("/data.old/calls.dat", 0), "/data.old/calls.txt");
    EXPECT_EQ(DeriveOutputName("/calls/day.1.cdr", 11), "/calls/day.ebs");
    EXPECT_EQ(DeriveOutputName("/calls/s12", 1), "/calls/s12.asc");
    EXPECT_EQ(DeriveOutputName("/home/u/.cache/x", 0), "/home/u/.cache/x.txt");
    EXPECT_EQ(DeriveOutputName("day.1.cdr", 0), "day.txt");
    EXPECT_EQ(DeriveOutputName("", 1), ".asc");
    EXPECT_EQ(DeriveOutputName("/in/.hidden", 0), "/in/.txt");
}

TEST(DeriveOutputName, LastDotKeepsDatedNamesApart) {
    const struct {
        const char* input;
        const char* first;
        const char* last;
    } cases[] = {
        {"/day/sw1.20240712.cdr", "/day/sw1.txt", "/day/sw1.20240712.txt"},
        {"sw1.20240712.cdr", "sw1.txt", "sw1.20240712.txt"},
        {"/data.old/calls", "/data.old/calls.txt", "/data.old/calls.txt"},
        {"/data.old/calls.dat", "/data.old/calls.txt", "/data.old/calls.txt"},
        {"/in/.hidden", "/in/.txt", "/in/.txt"},
        {"a.b.c.d", "a.txt", "a.b.c.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeriveOutputName(c.input, 0, NameCut::FirstDot), c.first) << c.input;
        EXPECT_EQ(DeriveOutputName(c.input, 0, NameCut::LastDot), c.last) << c.input;
    }
}

TEST(ConversionMode, TablesTypesAndSeparators) {
    EXPECT_EQ(RecodeTableFor(0), CodeTableKind::EbcdicToAscii);
    EXPECT_EQ(RecodeTableFor(1), CodeTableKind::EbcdicToAscii);
    EXPECT_EQ(RecodeTableFor(10), std::nullopt);
    EXPECT_EQ(RecodeTableFor(11), CodeTableKind::AsciiToEbcdic);
    EXPECT_STREQ(CodeTableFile(CodeTableKind::EbcdicToAscii), "ebcdic-ascii");
    EXPECT_STREQ(CodeTableFile(CodeTableKind::AsciiToEbcdic), "ascii-ebcdic");
    EXPECT_EQ(OutputTypeFor(1), OutputType::Binary);
    EXPECT_EQ(OutputTypeFor(11), OutputType::Binary);
    EXPECT_EQ(OutputTypeFor(10), OutputType::Text);
    EXPECT_EQ(OutputTypeFor(21), OutputType::Text);
    EXPECT_EQ(FixSeparator(0, true, "abc"), "\t");
    EXPECT_EQ(FixSeparator(10, false, "abc"), "abc");
    EXPECT_EQ(FixSeparator(10, false, ""), "");
    EXPECT_EQ(FixSeparator(1, true, "abc"), "");
    EXPECT_EQ(FixSeparator(11, false, "abc"), "");
    EXPECT_TRUE(IsRunnableMode(11));
    EXPECT_FALSE(IsRunnableMode(21));
}
