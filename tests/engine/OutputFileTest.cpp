#include <gtest/gtest.h>

#include <cstring>
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
