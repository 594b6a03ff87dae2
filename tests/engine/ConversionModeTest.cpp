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
    EXPECT_EQ(DeriveOutputName("/day/sw1.20240712.cdr", 0, NameCut::LastDot), "/day/sw1.20240712.txt");
    EXPECT_EQ(DeriveOutputName("/data.old/calls", 2, NameCut::LastDot), "/data.old/calls.csv");
    EXPECT_EQ(DeriveOutputName("/in/.hidden", 0, NameCut::LastDot), "/in/.txt");
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
