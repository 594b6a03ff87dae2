#include <gtest/gtest.h>

#include "RunReport.h"
#include "TestFiles.h"

namespace {

// What RunConversion gives for these two paths, with settings held still.
class StillSettings : public RunSettings {
public:
    int ConversionMode() const override { return 10; }
    std::int64_t BlockCount() const override { return 1; }
    bool FormatBox1() const override { return true; }
    bool Converting() override { return converting; }
    void UpdateGauge(int) override {}
    bool converting = true;
};

class RunReportTest : public ::testing::Test {
protected:
    ConversionResult Run(const std::string& output) {
        return RunConversion(in, output, "*", CodeTables{}, settings);
    }
    TempDir dir;
    std::string in = dir / "in.cdr";
    StillSettings settings;
};

}  // namespace

TEST_F(RunReportTest, FailureNamesTheErrorTheFileAndTheCause) {
    WriteFile(in, Bytes(2 * 2048, '1'));
    struct Case {
        std::string output, text, file, cause;
    };
    const std::string inFolder = dir / "no/such/folder/out.txt";
    for (const Case& c : {Case{inFolder, "File not found", inFolder,
                               " (the folder " + dir / "no/such/folder" + " does not exist)"},
                          Case{in, "File access denied", in, " (it is the input file)"},
                          Case{"/dev/full", "I/O error 28", "/dev/full", ""}}) {
        const ConversionResult r = Run(c.output);
        EXPECT_TRUE(r.Failed) << c.output;
        EXPECT_EQ(r.ErrorText, c.text);
        EXPECT_EQ(r.ErrorFile, c.file);
        EXPECT_EQ(FailureCause(r, in, c.output), c.cause);
    }
    // The input missing: no cause beyond the error and its file.
    const std::string missing = dir / "missing.cdr";
    const ConversionResult r = RunConversion(missing, dir / "out", "*", CodeTables{}, settings);
    EXPECT_EQ(r.ErrorText + ": " + r.ErrorFile, "File not found: " + missing);
    EXPECT_EQ(FailureCause(r, missing, dir / "out"), "");
    EXPECT_EQ(FailureCause(Run(dir / "out.txt"), in, dir / "out.txt"), "");
}

TEST_F(RunReportTest, LeftOutTailOnlyWhenTheRunReadToTheEnd) {
    WriteFile(in, Bytes(2 * 2048 + 1000, '1'));
    EXPECT_EQ(LeftOutTail(Run(dir / "out.txt")),
              "The last 1000 bytes (from offset 4096) are not a whole 2048-byte block and were not converted.");
    settings.converting = false;  // stopped after its first block
    EXPECT_EQ(LeftOutTail(Run(dir / "out.txt")), "");
    settings.converting = true;
    EXPECT_EQ(LeftOutTail(Run("/dev/full")), "");
    WriteFile(in, Bytes(2 * 2048, '1'));
    EXPECT_EQ(LeftOutTail(Run(dir / "out.txt")), "");
    WriteFile(in, Bytes(100, '1'));
    EXPECT_EQ(LeftOutTail(Run(dir / "out.txt")),
              "The last 100 bytes (from offset 0) are not a whole 2048-byte block and were not converted.");
}
