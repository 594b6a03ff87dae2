#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

using Args = std::vector<std::string>;

// What one command line must give; unset fields are not looked at.
struct Parsed {
    const char* name;
    Args args;
    Args inputs;
    std::optional<std::string> output = std::nullopt;
    int mode = 0;
    std::string separator = "*";
    std::optional<std::string> outputDir = std::nullopt;
    unsigned jobs = 0;
    bool raw = false;
};

void PrintTo(const Parsed& p, std::ostream* os) { *os << p.name; }

class ParsesTo : public ::testing::TestWithParam<Parsed> {};

TEST_P(ParsesTo, TheOptionsAndFilesGiven) {
    const Parsed& p = GetParam();
    const CommandLine cl = ParseCommandLine(p.args);
    EXPECT_EQ(cl.Inputs, p.inputs);
    EXPECT_EQ(cl.Output, p.output);
    EXPECT_EQ(cl.ConversionMode(), p.mode);
    EXPECT_EQ(cl.Separator, p.separator);
    EXPECT_EQ(cl.OutputDir, p.outputDir);
    EXPECT_EQ(cl.Jobs, p.jobs);
    EXPECT_EQ(cl.Raw, p.raw);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ParsesTo,
    ::testing::Values(
        Parsed{"InputOnly", {"in.cdr"}, {"in.cdr"}},
        Parsed{"InputAndOutput", {"in.cdr", "out.txt"}, {"in.cdr"}, "out.txt"},
        Parsed{"ShortOptionsWithValuesApart", {"-i", "ascii", "-o", "binary", "in"}, {"in"}, std::nullopt, 11},
        Parsed{"LongOptionsWithEquals", {"--input-type=ascii", "--output-type=binary", "in"}, {"in"}, std::nullopt, 11},
        Parsed{"ValueStuckToAShortOption", {"-iascii", "in"}, {"in"}, std::nullopt, 10},
        Parsed{"FlagsTogether", {"-rq", "in"}, {"in"}, std::nullopt, 0, "*", std::nullopt, 0, true},
        Parsed{"OptionsAfterTheFiles", {"in", "out", "-r"}, {"in"}, "out", 0, "*", std::nullopt, 0, true},
        Parsed{"TheLastOfARepeatedOptionCounts", {"-i", "ascii", "-i", "ebcdic", "in"}, {"in"}},
        Parsed{"DoubleDashEndsTheOptions", {"--", "-r", "--raw"}, {"-r"}, "--raw"},
        Parsed{"DashIsAFileName", {"-", "-"}, {"-"}, "-"},
        Parsed{"SlashIsAPathOnEverySystem", {"/in.cdr", "/tmp/out.txt"}, {"/in.cdr"}, "/tmp/out.txt"},
        Parsed{"EmptySeparator", {"-s", "", "in"}, {"in"}, std::nullopt, 0, ""},
        Parsed{"SeparatorWithEquals", {"--separator=a=b", "in"}, {"in"}, std::nullopt, 0, "a=b"},
        Parsed{"EmptySeparatorWithEquals", {"--separator=", "in", "out"}, {"in"}, "out", 0, ""},
        Parsed{"AnEmptyValueWithEqualsAfterTheDoubleDashIsAFile", {"--", "--separator="}, {"--separator="}},
        Parsed{"SeparatorThatIsADash", {"-s", "-", "in"}, {"in"}, std::nullopt, 0, "-"},
        Parsed{"SeparatorInWindows1251", {"-s", "€", "in"}, {"in"}, std::nullopt, 0, "\x88"},
        Parsed{"SeveralInputsWithADirectory", {"-d", "out", "-j", "3", "a", "b", "c"}, {"a", "b", "c"},
               std::nullopt, 0, "*", "out", 3},
        Parsed{"StatsOfSeveralFiles", {"--stats", "a", "b", "c"}, {"a", "b", "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each must be refused with a message that holds the text given.
struct Refused {
    const char* name;
    Args args;
    const char* said;
};

void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

class IsAUsageError : public ::testing::TestWithParam<Refused> {};

TEST_P(IsAUsageError, WithItsReason) {
    const Refused& r = GetParam();
    try {
        ParseCommandLine(r.args);
        ADD_FAILURE() << "accepted";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find(r.said), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, IsAUsageError,
    ::testing::Values(
        Refused{"NoInput", {}, "no INPUT"},
        Refused{"NoInputAfterOptions", {"-r", "-q"}, "no INPUT"},
        Refused{"ThreeFilesWithoutADirectory", {"a", "b", "c"}, "too many files"},
        Refused{"UnknownOption", {"--bogus", "in"}, "--bogus"},
        Refused{"ValueMissing", {"in", "-i"}, "input-type"},
        Refused{"BadInputType", {"-i", "latin", "in"}, "input type must be ebcdic or ascii, not \"latin\""},
        Refused{"BadOutputType", {"--output-type=paper", "in"}, "output type must be text, binary or csv"},
        Refused{"FlagWithAValueThatIsNoYesOrNo", {"--raw=maybe", "in"}, "maybe"},
        Refused{"ZeroJobs", {"-j", "0", "-d", "o", "in"}, "whole number from 1"},
        Refused{"JobsNotANumber", {"-j", "2x", "-d", "o", "in"}, "whole number from 1"},
        Refused{"StandardInputWithADirectory", {"-d", "out", "a", "-"}, "\"-\""},
        Refused{"EmptyFileName", {""}, "empty"},
        Refused{"EmptyDirectory", {"-d", "", "a"}, "DIR is empty"},
        Refused{"SeparatorWithoutAWindowsByte", {"-s", "中", "in"}, "\"中\""},
        Refused{"SeparatorNotUtf8", {"-s", "\xFF", "in"}, "not valid UTF-8"},
        Refused{"StatsWithADirectory", {"--stats", "-d", "o", "a"}, "-d"},
        Refused{"BlocksFromZero", {"--blocks", "0:5", "in"}, "FIRST from 1"},
        Refused{"BlocksWithoutACount", {"--blocks", "3", "in"}, "not \"3\""},
        Refused{"BlocksNegative", {"--blocks=-1:2", "in"}, "FIRST:COUNT"},
        Refused{"BlocksTooManyDigits", {"--blocks", "1:1234567890123", "in"}, "FIRST:COUNT"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, BlocksAreARangeCountedFromOne) {
    EXPECT_FALSE(ParseCommandLine({"in"}).Blocks);
    struct Case {
        Args args;
        std::int64_t first, count;
    };
    for (const Case& c : {Case{{"--blocks", "1:1", "in"}, 1, 1}, Case{{"--blocks", "3:0", "in"}, 3, 0},
                          Case{{"--blocks=7:300", "in"}, 7, 300},
                          Case{{"in", "out", "--blocks", "123456789012:2"}, 123456789012, 2},
                          Case{{"--stats", "--blocks", "2:3", "in"}, 2, 3}}) {
        const CommandLine cl = ParseCommandLine(c.args);
        ASSERT_TRUE(cl.Blocks) << c.args[1];
        EXPECT_EQ(cl.Blocks->First, c.first) << c.args[1];
        EXPECT_EQ(cl.Blocks->Count, c.count) << c.args[1];
    }
}

TEST(CommandLine, HelpAndVersionNeedNoInput) {
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
    EXPECT_TRUE(ParseCommandLine({"-h"}).Help);
    EXPECT_TRUE(ParseCommandLine({"--help", "a", "b", "c"}).Help);
}

TEST(CommandLine, HelpListsEveryOptionAndTheNameRule) {
    const std::string help = UsageText();
    for (const char* option : {"--input-type", "--output-type", "--raw", "--separator", "--tab", "--tables",
                               "--output-dir", "--jobs", "--blocks", "--stats", "--quiet", "--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
    EXPECT_NE(help.find("cut at the first \".\" of its file name"), std::string::npos);
}

TEST(PlanJobs, OneInputGivesItsOutputOrTheDerivedName) {
    auto plan = [](Args args) { return PlanJobs(ParseCommandLine(args)).front(); };
    EXPECT_EQ(plan({"a/calls.1.cdr", "x.txt"}).Output, "x.txt");
    EXPECT_EQ(plan({"dir.v2/calls.1.cdr"}).Output, "dir.v2/calls.txt");
    EXPECT_EQ(plan({"-o", "binary", "calls.cdr"}).Output, "calls.asc");
    EXPECT_EQ(plan({"-i", "ascii", "-o", "binary", "calls.cdr"}).Output, "calls.ebs");
    EXPECT_EQ(plan({"-"}).Output, "-");  // standard input without OUTPUT: standard output
}

TEST(PlanJobs, ADirectoryTakesEveryOutputInTheOrderGiven) {
    const auto jobs = PlanJobs(ParseCommandLine({"-d", "out", "x/b.cdr", "a.cdr", "y/c.1.cdr"}));
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].Input, "x/b.cdr");
    EXPECT_EQ(jobs[0].Output, "out/b.txt");
    EXPECT_EQ(jobs[1].Output, "out/a.txt");
    EXPECT_EQ(jobs[2].Output, "out/c.txt");
}

TEST(PlanJobs, TwoInputsGivingOneNameAreRefusedByName) {
    for (const Args& args : {Args{"-d", "out", "x/calls.cdr", "y/calls.cdr"},
                             Args{"-d", "out/", "x/calls.cdr", "y/calls.2.cdr"}}) {
        try {
            PlanJobs(ParseCommandLine(args));
            ADD_FAILURE() << "accepted " << args[3];
        } catch (const UsageError& e) {
            const std::string said = e.what();
            EXPECT_NE(said.find(args[2]), std::string::npos) << said;
            EXPECT_NE(said.find(args[3]), std::string::npos) << said;
            EXPECT_NE(said.find("out/calls.txt"), std::string::npos) << said;
        }
    }
}

}  // namespace
