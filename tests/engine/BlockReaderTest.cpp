#include <gtest/gtest.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <thread>

#include "BlockReader.h"
#include "IOError.h"
#include "TestFiles.h"

namespace {

#ifdef _WIN32
int MakePipe(int fds[2]) { return _pipe(fds, 1 << 16, _O_BINARY); }
// How many bytes wait in the pipe; negative when that cannot be told.
long Waiting(int fd) {
    DWORD waiting = 0;
    return PeekNamedPipe(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), nullptr, 0, nullptr, &waiting, nullptr)
               ? static_cast<long>(waiting)
               : -1;
}
#else
int MakePipe(int fds[2]) { return ::pipe(fds); }
long Waiting(int fd) {
    int waiting = 0;
    return ::ioctl(fd, FIONREAD, &waiting) == 0 ? waiting : -1;
}
#endif

// Bytes that differ at every offset, so a lost or repeated byte shows.
Bytes Numbered(std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 251);
    return bytes;
}

// Reads every block of reader and returns them joined.
Bytes ReadAll(BlockReader& reader) {
    Bytes got;
    CallRecordBlock block;
    while (reader.ReadBlock(block)) {
        const Bytes one = BlockBytes(block);
        got.insert(got.end(), one.begin(), one.end());
    }
    return got;
}

}  // namespace

// Every read on a pipe fed a few bytes at a time comes back short of a
// block, so each block is put together from several reads and leftovers.
TEST(BlockReader, ShortReadsGiveTheSameBytes) {
    for (const std::size_t chunk : {1u, 7u, 1000u, 2047u, 3000u}) {
        int fds[2];
        ASSERT_EQ(MakePipe(fds), 0);
        const Bytes sent = Numbered(5 * 2048 + 100);
        std::thread writer([&] {
            for (std::size_t at = 0; at < sent.size(); at += chunk) {
                const std::size_t n = std::min(chunk, sent.size() - at);
                if (::write(fds[1], sent.data() + at, static_cast<unsigned>(n)) != static_cast<int>(n))
                    break;
                // The next bytes go in only once the reader has taken these,
                // so that no read can return more than one chunk.
                while (Waiting(fds[0]) > 0)
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
            ::close(fds[1]);
        });
        BlockReader reader(fds[0], "pipe");
        const Bytes got = ReadAll(reader);
        writer.join();
        reader.Close();
        ::close(fds[0]);  // a descriptor given to the reader stays its owner's
        EXPECT_EQ(got, Bytes(sent.begin(), sent.begin() + 5 * 2048)) << "chunks of " << chunk;
    }
}

TEST(BlockReader, WholeFileInBlocksAndTheTailLeftOut) {
    TempDir dir;
    const Bytes bytes = Numbered(3 * 2048 + 2047);
    WriteFile(dir / "in", bytes);
    BlockReader reader(dir / "in");
    EXPECT_EQ(reader.Size(), static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(ReadAll(reader), Bytes(bytes.begin(), bytes.begin() + 3 * 2048));
}

// Skipping, in a file and in a stream, passes over exactly the blocks asked
// for, and tells how many were there when the input ends first.
TEST(BlockReader, SkippedBlocksAreExactlyThoseAskedFor) {
    TempDir dir;
    const Bytes bytes = Numbered(700 * 2048 + 100);  // more than one read buffer
    WriteFile(dir / "in", bytes);
    struct Case {
        std::int64_t skip;
        std::int64_t passed;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{511, 511}, Case{512, 512}, Case{699, 699},
                         Case{700, 700}, Case{701, 700}, Case{5000, 700}}) {
        const Bytes rest(bytes.begin() + c.passed * 2048, bytes.begin() + 700 * 2048);
        BlockReader file(dir / "in");
        EXPECT_EQ(file.SkipBlocks(c.skip), c.passed) << "file, skip " << c.skip;
        EXPECT_EQ(ReadAll(file), rest) << "file, skip " << c.skip;

        int fds[2];
        ASSERT_EQ(MakePipe(fds), 0);
        std::thread writer([&] {
            for (std::size_t at = 0; at < bytes.size();) {
                const std::size_t chunk = std::min<std::size_t>(65536, bytes.size() - at);
                const auto n = ::write(fds[1], bytes.data() + at, static_cast<unsigned>(chunk));
                if (n <= 0)
                    break;
                at += static_cast<std::size_t>(n);
            }
            ::close(fds[1]);
        });
        BlockReader stream(fds[0], "pipe");
        EXPECT_EQ(stream.SkipBlocks(c.skip), c.passed) << "stream, skip " << c.skip;
        EXPECT_EQ(ReadAll(stream), rest) << "stream, skip " << c.skip;
        writer.join();
        ::close(fds[0]);
    }
}

#ifndef _WIN32
// A file is sought, not read, up to the first block wanted: with reads of
// the file made to fail, skipping still works and only the next read fails.
TEST(BlockReader, SkippingInAFileReadsNothing) {
    TempDir dir;
    WriteFile(dir / "in", Numbered(10 * 2048));
    BlockReader reader(dir / "in");
    if (!BreakReads(dir / "in"))
        GTEST_SKIP() << "reads cannot be made to fail here";
    EXPECT_EQ(reader.SkipBlocks(9), 9);
    CallRecordBlock block;
    EXPECT_THROW(reader.ReadBlock(block), IOError);
}
#endif
