#include "RecordFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "BlockReader.h"
#include "CallRecordBlock.h"
#include "IOError.h"
#include "LayoutRecognition.h"

namespace {
// A window of this many bytes holds a screenful of rows many times over.
constexpr std::size_t kWindowBytes = 256 * 1024;
}  // namespace

RecordFile::RecordFile(const std::string& path, std::optional<RecordLayout> layout,
                       std::optional<BlockCode> blockCode)
    : path_(path), fd_(OpenRegularFileForReading(path, stat_)) {
    try {
        size_ = static_cast<std::uint64_t>(stat_.st_size);
        layout_ = layout ? *layout : RecogniseLayout(fd_, size_, path_, blockCode);
        count_ = layout_.RecordCount(size_);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

RecordFile::~RecordFile() { ::close(fd_); }

std::size_t RecordFile::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t n) const {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd_, into + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            throw IOError::FromErrno(errno, path_);
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

const std::uint8_t* RecordFile::Record(std::uint64_t i) {
    if (i >= count_)
        return nullptr;
    const std::uint64_t offset = layout_.RecordOffset(i);
    const std::size_t bytes = layout_.RecordBytes();
    if (offset < windowFirst_ || offset + bytes > windowFirst_ + window_.size()) {
        // Whole blocks or whole lines, centred on the record asked for, so
        // that scrolling either way stays inside the window.
        const std::uint64_t unit = layout_.IsText() ? layout_.LineLength() : kBlockSize;
        const std::uint64_t units = std::max<std::uint64_t>(2, kWindowBytes / unit);
        const std::uint64_t at = offset / unit;
        const std::uint64_t first = at > units / 2 ? at - units / 2 : 0;
        window_.resize(static_cast<std::size_t>(units * unit));
        windowFirst_ = first * unit;
        try {
            window_.resize(ReadAt(windowFirst_, window_.data(), window_.size()));
        } catch (...) {
            window_.clear();
            throw;
        }
        if (offset + bytes > windowFirst_ + window_.size())
            return nullptr;  // the file shrank
    }
    return window_.data() + (offset - windowFirst_);
}
