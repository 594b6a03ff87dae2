#include "BlockReader.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <utility>

#include "IOError.h"

namespace {
// Large reads keep a run near disk speed; 2048-byte reads cost a system
// call per block.
constexpr std::size_t kReadBufferSize = 1 << 20;
}  // namespace

BlockReader::BlockReader(const std::string& path)
    : path_(path), fd_(OpenRegularFileForReading(path, info_)),
      buffer_(kReadBufferSize) {}

BlockReader::BlockReader(int fd, std::string name)
    : path_(std::move(name)), fd_(fd), buffer_(kReadBufferSize), owned_(false) {
    if (!fileaccess::Stat(fd, info_))
        info_ = {};
}

BlockReader::~BlockReader() {
    if (owned_ && fd_ >= 0)
        fileaccess::Close(fd_);
}

void BlockReader::Fill() {
    std::memmove(buffer_.Data(), buffer_.Data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < kReadBufferSize && !atEnd_) {
        const std::int64_t n = fileaccess::Read(fd_, buffer_.Data() + end_, kReadBufferSize - end_);
        if (n < 0)
            throw IOError(IOStep::Read, errno, path_);
        if (n == 0)
            atEnd_ = true;
        end_ += static_cast<std::size_t>(n);
        bytesRead_ += n;
        if (end_ - begin_ >= kBlockSize)
            break;
    }
}

bool BlockReader::ReadBlock(CallRecordBlock& block) {
    if (end_ - begin_ < kBlockSize) {
        if (atEnd_)
            return false;
        Fill();
        if (end_ - begin_ < kBlockSize)
            return false;
    }
    std::memcpy(&block, buffer_.Data() + begin_, kBlockSize);
    begin_ += kBlockSize;
    return true;
}

std::int64_t BlockReader::SkipBlocks(std::int64_t count) {
    const auto block = static_cast<std::int64_t>(kBlockSize);
    if (owned_ && begin_ == end_ && !atEnd_) {
        // A file of 200 GB is not read up to its middle: the position moves
        // there. The blocks passed are those the size holds.
        const std::int64_t position = bytesRead_;
        const std::int64_t there = std::min(count, std::max<std::int64_t>(0, (info_.Size - position) / block));
        if (there > 0) {
            if (!fileaccess::Seek(fd_, position + there * block))
                throw IOError(IOStep::Seek, errno, path_);
            bytesRead_ = position + there * block;
        }
        return there;
    }
    CallRecordBlock passed;
    std::int64_t done = 0;
    while (done < count && ReadBlock(passed))
        ++done;
    return done;
}

void BlockReader::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (owned_ && fd >= 0 && !fileaccess::Close(fd))
        throw IOError(IOStep::Close, errno, path_);
}
