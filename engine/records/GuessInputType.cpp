#include "GuessInputType.h"

#include <vector>

#include "CallRecordBlock.h"
#include "FileAccess.h"

std::optional<BlockCode> GuessInputType(const std::uint8_t* bytes, std::size_t size) {
    std::size_t ascii = 0, ebcdic = 0, counted = 0;
    for (std::size_t block = 0; block + kBlockSize <= size; block += kBlockSize) {
        for (std::size_t r = 0; r < kRecordsPerBlock; ++r) {
            const std::uint8_t* record = bytes + block + kHeaderSize + r * kRecordSize;
            for (std::size_t i = 0; i < kRecordSize; ++i) {
                if (i >= kBinaryFieldOffset && i < kBinaryFieldOffset + kBinaryFieldWidth)
                    continue;
                // F pads numbers and fills unused slots: a file of type-F
                // records is call records too.
                ascii += (record[i] >= 0x30 && record[i] <= 0x39) || record[i] == 0x46;
                ebcdic += (record[i] >= 0xF0 && record[i] <= 0xF9) || record[i] == 0xC6;
                counted += record[i] != 0;
            }
        }
    }
    if (ascii >= counted / 8 && ascii > 10 * ebcdic)
        return BlockCode::Ascii;
    if (ebcdic >= counted / 8 && ebcdic > 10 * ascii)
        return BlockCode::Ebcdic;
    return std::nullopt;
}

std::optional<BlockCode> GuessInputTypeOfFile(const std::string& path) {
    // Only a regular file: a FIFO is no file to guess from, and opening one
    // would wait for a writer.
    fileaccess::FileInfo info;
    if (!fileaccess::StatPath(path, info) || !info.Regular)
        return std::nullopt;
    const int fd = fileaccess::Open(path, fileaccess::Access::Read);
    if (fd < 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(kGuessedBlocks * kBlockSize);
    int error;  // a failed read leaves fewer bytes to guess from
    const std::size_t got = fileaccess::ReadUpTo(fd, bytes.data(), bytes.size(), error);
    fileaccess::Close(fd);
    return GuessInputType(bytes.data(), got);
}
