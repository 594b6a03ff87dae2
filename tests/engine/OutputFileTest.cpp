#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

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

#ifdef _WIN32
TEST(OutputFile, ReplaceOnSuccessWritesDevicesDirectly) {
    OutputFile out("NUL", nullptr, OutputMode::ReplaceOnSuccess);
    out.Write("x", 1);
    EXPECT_NO_THROW(out.Close());
}
#else
namespace {

// Temporaries beside path: ".NAME.mavik-*" in its folder.
std::vector<std::string> TemporariesBeside(const std::filesystem::path& path) {
    const std::string prefix = "." + path.filename().string() + ".mavik-";
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path()))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            found.push_back(entry.path().string());
    return found;
}

// A character device, still that device.
void ExpectNullDevice(const std::string& path, dev_t device) {
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0) << path;
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << path;
    EXPECT_EQ(info.st_rdev, device) << path;
}

// Where the null device is: /dev/null itself, or a node of it made in a
// folder of the test's own.
class DeviceOutput : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST_P(DeviceOutput, ReplaceOnSuccessWritesDevicesDirectly) {
    TempDir dir;
    const dev_t null = makedev(1, 3);
    std::string path = "/dev/null";
    if (GetParam()) {
        path = dir / "null";
        if (::mknod(path.c_str(), S_IFCHR | 0666, null) != 0)
            GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    }
    ExpectNullDevice(path, null);
    {
        OutputFile out(path, nullptr, OutputMode::ReplaceOnSuccess);
        const Bytes chunk(3u << 20, 'n');  // more than a buffer: written while open
        out.Write(chunk.data(), chunk.size());
        const bool direct = TemporariesBeside(path).empty();
        EXPECT_TRUE(direct) << "a temporary beside " << path;
        // Close would rename a temporary over the device (the machine's
        // /dev/null, run as root): dropped instead, it is removed.
        if (direct)
            out.Close();
    }
    ExpectNullDevice(path, null);
    EXPECT_TRUE(TemporariesBeside(path).empty());
}

INSTANTIATE_TEST_SUITE_P(NullDevice, DeviceOutput, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "NodeOfOurOwn" : "DevNull"; });
#endif
