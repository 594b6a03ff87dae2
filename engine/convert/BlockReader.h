#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AlignedBuffer.h"
#include "CallRecordBlock.h"
#include "FileAccess.h"

// The input of a run: an existing regular file, opened read-only, or a
// stream such as standard input; read one whole 2048-byte block at a time
// out of a large buffer, whatever size the reads come back in.
class BlockReader {
public:
    // Throws IOError when the file cannot be opened or is not a regular file.
    explicit BlockReader(const std::string& path);
    // A descriptor that is already open, such as standard input: read as a
    // stream of unknown size and left open; name is what errors call it.
    BlockReader(int fd, std::string name);
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Reads the next block; false when fewer than 2048 bytes remain.
    // Throws IOError when a read fails.
    bool ReadBlock(CallRecordBlock& block);

    // Passes over the next count blocks without handing them out: a file is
    // sought, a stream read. Returns how many were there to pass (fewer at
    // the end). Throws IOError when a seek or read fails.
    std::int64_t SkipBlocks(std::int64_t count);

    // Throws IOError when the close fails.
    void Close();

    // The file's size; for a stream, the bytes read so far (all of them
    // once ReadBlock has returned false).
    std::int64_t Size() const { return owned_ ? info_.Size : bytesRead_; }
    // The open file's identity; nothing for a stream that is not a regular file.
    const fileaccess::FileIdentity* Identity() const {
        return owned_ || info_.Regular ? &info_.Identity : nullptr;
    }
    const std::string& Path() const { return path_; }

private:
    void Fill();

    std::string path_;
    fileaccess::FileInfo info_;  // before fd_: the open fills it in
    int fd_ = -1;
    AlignedBuffer buffer_;  // page-aligned: reads into it are much faster
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool owned_ = true;
    std::int64_t bytesRead_ = 0;
};
