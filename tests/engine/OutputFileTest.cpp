#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "IOError.h"
#include "OutputFile.h"
#include "TestFiles.h"

TEST(OutputFile, ManyBuffersFullArriveWholeAndInOrder) {
    TempDir dir;
    std::mt19937 random(7);
    Bytes expected;
    {
        OutputFile out(dir / "out");
        while (expected.size() < (5u << 20)) {
            Bytes piece(random() % 5000);
            for (auto& b : piece)
                b = static_cast<std::uint8_t>(random());
            if (random() % 2) {
                out.Write(piece.data(), piece.size());
            } else {
                std::memcpy(out.Reserve(piece.size()), piece.data(), piece.size());
                out.Commit(piece.size());
            }
            expected.insert(expected.end(), piece.begin(), piece.end());
        }
        // Larger than a buffer at once, as a huge separator would be.
        const Bytes huge(3u << 20, 0xAB);
        out.Write(huge.data(), huge.size());
        expected.insert(expected.end(), huge.begin(), huge.end());
        out.Close();
    }
    EXPECT_EQ(ReadFile(dir / "out"), expected);
}

TEST(OutputFile, FailedWriteIsRaisedByTheNextWriteOrClose) {
    const Bytes chunk(1u << 20, 'x');
    OutputFile out("/dev/full");
    EXPECT_THROW(
        {
            for (int i = 0; i < 4; ++i)
                out.Write(chunk.data(), chunk.size());
            out.Close();
        },
        IOError);
    OutputFile small("/dev/full");
    small.Write("12345678", 8);
    try {
        small.Close();
        FAIL() << "close succeeded";
    } catch (const IOError& e) {
        EXPECT_STREQ(e.what(), "I/O error 28");
    }
}

TEST(OutputFile, ReplacesAnExistingFile) {
    TempDir dir;
    WriteFile(dir / "out", Bytes(10000, 'o'));
    OutputFile out(dir / "out");
    out.Write("new", 3);
    out.Close();
    EXPECT_EQ(ReadFile(dir / "out"), ToBytes("new"));
}

namespace {

// The names in dir other than the given ones: temporaries left behind.
std::vector<std::string> Others(const TempDir& dir, std::vector<std::string> known) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            others.push_back(name);
    }
    return others;
}

}  // namespace

TEST(OutputFile, ReplaceOnSuccessKeepsTheOldFileUntilClose) {
    TempDir dir;
    WriteFile(dir / "out", ToBytes("old"));
    {
        OutputFile out(dir / "out", nullptr, OutputMode::ReplaceOnSuccess);
        const Bytes chunk(3u << 20, 'n');  // more than a buffer: written while open
        out.Write(chunk.data(), chunk.size());
        out.Write("!", 1);
        EXPECT_EQ(ReadFile(dir / "out"), ToBytes("old"));
        const auto temporaries = Others(dir, {"out"});
        ASSERT_EQ(temporaries.size(), 1u);
        EXPECT_EQ(temporaries[0].rfind(".out.", 0), 0u) << temporaries[0];  // hidden, named after it
        out.Close();
    }
    EXPECT_EQ(ReadFile(dir / "out").size(), (3u << 20) + 1);
    EXPECT_TRUE(Others(dir, {"out"}).empty());
}

TEST(OutputFile, ReplaceOnSuccessDiscardedOrDroppedLeavesTheOldFileAlone) {
    TempDir dir;
    WriteFile(dir / "out", ToBytes("old"));
    {
        OutputFile out(dir / "out", nullptr, OutputMode::ReplaceOnSuccess);
        out.Write("partial", 7);
        out.Discard();
    }
    {
        OutputFile dropped(dir / "out", nullptr, OutputMode::ReplaceOnSuccess);
        dropped.Write("partial", 7);
    }
    EXPECT_EQ(ReadFile(dir / "out"), ToBytes("old"));
    EXPECT_TRUE(Others(dir, {"out"}).empty());
}

TEST(OutputFile, ReplaceOnSuccessKeepsPermissionBitsAndLinks) {
    TempDir dir;
    namespace fs = std::filesystem;
    WriteFile(dir / "target", ToBytes("old"));
    fs::permissions(dir / "target", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::error_code error;
    fs::create_symlink("target", dir / "link", error);
    if (error)
        GTEST_SKIP() << "this system cannot make a symbolic link here: " << error.message();
    OutputFile out(dir / "link", nullptr, OutputMode::ReplaceOnSuccess);
    out.Write("new", 3);
    out.Close();
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFile(dir / "target"), ToBytes("new"));
    EXPECT_EQ(fs::status(dir / "target").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(Others(dir, {"target", "link"}).empty());
}

TEST(OutputFile, ReplaceOnSuccessWritesDevicesDirectly) {
#ifdef _WIN32
    OutputFile out("NUL", nullptr, OutputMode::ReplaceOnSuccess);
#else
    OutputFile out("/dev/null", nullptr, OutputMode::ReplaceOnSuccess);
#endif
    out.Write("x", 1);
    EXPECT_NO_THROW(out.Close());
}
