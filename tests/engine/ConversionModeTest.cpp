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

TEST(RunMode, EachModeAnswersItsNumberTableExtensionAndLayout) {
    struct Case {
        int number;
        const char* extension;
        std::optional<CodeTableKind> table;
        std::optional<LayoutKind> withSeparator;  // "*", formatted
        std::optional<LayoutKind> rawWithout;     // empty separator, raw
    };
    const Case cases[] = {
        {0, ".txt", CodeTableKind::EbcdicToAscii, LayoutKind::Formatted, LayoutKind::Block},
        {1, ".asc", CodeTableKind::EbcdicToAscii, LayoutKind::Block, LayoutKind::Block},
        {10, ".txt", std::nullopt, LayoutKind::Formatted, LayoutKind::Block},
        {11, ".ebs", CodeTableKind::AsciiToEbcdic, LayoutKind::Block, LayoutKind::Block},
        {2, ".csv", CodeTableKind::EbcdicToAscii, std::nullopt, std::nullopt},
        {12, ".csv", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const auto mode = RunMode::FromNumber(c.number);
        ASSERT_TRUE(mode);
        EXPECT_EQ(mode->Number(), c.number);
        EXPECT_STREQ(mode->Extension(), c.extension);
        EXPECT_EQ(mode->Table(), c.table);
        const auto formatted = mode->OutputLayout(mode->Separator(false, "*"), true);
        EXPECT_EQ(formatted ? std::optional(formatted->Kind) : std::nullopt, c.withSeparator);
        const auto raw = mode->OutputLayout(mode->Separator(false, ""), false);
        EXPECT_EQ(raw ? std::optional(raw->Kind) : std::nullopt, c.rawWithout);
    }
    // The image of ASCII input is EBCDIC; of EBCDIC input, ASCII.
    EXPECT_EQ(RunMode::FromNumber(11)->OutputLayout("", false)->Code, BlockCode::Ebcdic);
    EXPECT_EQ(RunMode::FromNumber(1)->OutputLayout("", false)->Code, BlockCode::Ascii);
    EXPECT_EQ(RunMode::Number(1, 1), 11);
    EXPECT_FALSE(RunMode::FromNumber(RunMode::Number(2, 0)));
}
