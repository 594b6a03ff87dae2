#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "CodeTable.h"
#include "CsvWriter.h"
#include "IOError.h"
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

#ifndef _WIN32
// Each failure keeps its step and the system's errno apart from the users'
// text, and the words name them: the window and mavik-convert build on it.
TEST_F(RunReportTest, EachFailureKeepsItsStepAndErrno) {
    WriteFile(in, Bytes(2 * 2048, '1'));
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_directory(dir / "folder/field-names");
    std::filesystem::create_directory(dir / "mem");
    std::filesystem::create_symlink("/proc/self/mem", dir / "mem/field-names");
    const auto runFailure = [&](const std::string& input, const std::string& output) {
        const ConversionResult r = RunConversion(input, output, "*", CodeTables{}, settings);
        EXPECT_EQ(r.Kind, RunFailureKind::File) << input << " -> " << output;
        if (!r.FileError)
            throw std::runtime_error("no file error");
        EXPECT_EQ(FailureWords(r, input, output), r.FileError->Words());
        return *r.FileError;
    };
    const auto tableFailure = [&](const std::string& path) {
        CodeTable table{};
        try {
            LoadCodeTable(table, path, "ebcdic-ascii");
        } catch (const CannotOpenFile& e) {
            EXPECT_STREQ(e.what(), "Cannot open file ebcdic-ascii");
            return e.Cause();
        }
        throw std::runtime_error("no table error");
    };
    const auto namesFailure = [&](const std::string& folder) {
        try {
            LoadFieldNames(folder);
        } catch (const IOError& e) {
            return e;
        }
        throw std::runtime_error("no field-names error");
    };
    struct Case {
        const char* what;
        std::function<IOError()> fail;
        std::string file;
        IOStep step;
        int err;
        const char* text;
        const char* words;
    };
    const Case cases[] = {
        {"full disk", [&] { return runFailure(in, "/dev/full"); }, "/dev/full", IOStep::Write, ENOSPC,
         "I/O error 28", "cannot write: No space left on device"},
        {"folder as input", [&] { return runFailure(dir / "folder", dir / "out"); }, dir / "folder", IOStep::Open,
         EISDIR, "I/O error 21", "cannot open: Is a directory"},
        // EIO is 5, the code of "File access denied": the text must not be that.
        {"device error", [&] { return runFailure("/proc/self/mem", dir / "out"); }, "/proc/self/mem", IOStep::Read,
         EIO, "I/O error 5", "cannot read: Input/output error"},
        {"missing input", [&] { return runFailure(dir / "missing", dir / "out"); }, dir / "missing", IOStep::Open,
         ENOENT, "File not found", "cannot open: No such file or directory"},
        {"table a folder", [&] { return tableFailure(dir / "folder"); }, dir / "folder", IOStep::Read, EISDIR,
         "I/O error 21", "cannot read: Is a directory"},
        {"table unreadable", [&] { return tableFailure("/proc/self/mem"); }, "/proc/self/mem", IOStep::Read, EIO,
         "I/O error 5", "cannot read: Input/output error"},
        {"field-names a folder", [&] { return namesFailure(dir / "folder"); }, dir / "folder/field-names",
         IOStep::Read, EISDIR, "I/O error 21", "cannot read: Is a directory"},
        {"field-names unreadable", [&] { return namesFailure(dir / "mem"); }, dir / "mem/field-names", IOStep::Read,
         EIO, "I/O error 5", "cannot read: Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const IOError e = c.fail();
        EXPECT_EQ(e.FileName(), c.file);
        EXPECT_EQ(e.Step(), c.step);
        EXPECT_EQ(e.Errno(), c.err);
        EXPECT_STREQ(e.what(), c.text);
        EXPECT_EQ(e.Words(), c.words);
        EXPECT_EQ(e.Code(), e.ClassCode() ? e.ClassCode() : c.err);
    }
}
#endif
