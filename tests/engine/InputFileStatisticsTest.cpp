#include <gtest/gtest.h>

#include "IOError.h"
#include "InputFileStatistics.h"
#include "TestFiles.h"

TEST(MeasureInputFile, CountsWholeBlocksOnly) {
    TempDir dir;
    struct Case {
        std::int64_t size, blocks;
    };
    for (const Case c : {Case{0, 0}, {1, 0}, {2047, 0}, {2048, 1}, {4095, 1}, {4096, 2}, {2048 * 5 + 7, 5}}) {
        WriteFile(dir / "in", Bytes(static_cast<std::size_t>(c.size), 'F'));
        const InputFileStatistics s = MeasureInputFile(dir / "in");
        EXPECT_EQ(s.SizeBytes, c.size);
        EXPECT_EQ(s.BlockCount, c.blocks) << c.size;
        EXPECT_EQ(s.RecordCount, c.blocks * 34) << c.size;
    }
}

TEST(MeasureInputFile, SizesBeyondTwoGibibytesAreCounted) {
    TempDir dir;
    const std::int64_t size = (std::int64_t{5} << 30) + 2048 * 3 + 100;  // sparse: no disk used
    WriteFile(dir / "big", {});
    std::filesystem::resize_file(dir / "big", static_cast<std::uintmax_t>(size));
    const InputFileStatistics s = MeasureInputFile(dir / "big");
    EXPECT_EQ(s.SizeBytes, size);
    EXPECT_EQ(s.BlockCount, size / 2048);
    EXPECT_EQ(s.RecordCount, size / 2048 * 34);
}

TEST(MeasureInputFile, ReadOnlyFileIsMeasured) {
    TempDir dir;
    WriteFile(dir / "ro", Bytes(2048, 0));
    std::filesystem::permissions(dir / "ro", std::filesystem::perms::owner_read);
    EXPECT_EQ(MeasureInputFile(dir / "ro").BlockCount, 1);
}

TEST(MeasureInputFile, FailuresCarryTheirTexts) {
    TempDir dir;
    WriteFile(dir / "plain", Bytes(10, 0));
    struct Case {
        std::string path;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {dir / "missing", kFileNotFound, "File not found"},
#ifdef _WIN32
        // Windows says only that the path is not there.
        {dir / "plain/under-a-file", kFileNotFound, "File not found"},
        {dir / "no<such>name", kInvalidFilename, "Invalid filename"},
#else
        {dir / "plain/under-a-file", kInvalidFilename, "Invalid filename"},
        {dir / std::string(300, 'x'), kInvalidFilename, "Invalid filename"},
#endif
#ifdef _WIN32
        {dir.Path().string(), kFileAccessDenied, "File access denied"},  // a folder
#else
        {dir.Path().string(), EISDIR, "I/O error 21"},  // a folder is no file, not a refusal

        {"/dev/null", kFileAccessDenied, "File access denied"},  // not a regular file
#endif
    };
    for (const Case& c : cases) {
        try {
            MeasureInputFile(c.path);
            ADD_FAILURE() << "no error for " << c.path;
        } catch (const IOError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.path;
            EXPECT_STREQ(e.what(), c.text) << c.path;
            EXPECT_EQ(e.FileName(), c.path);
        }
    }
}

