#include "RecordFile.h"

#include <algorithm>
#include <stdexcept>

#include "FileAccess.h"
#include "CallRecordBlock.h"
#include "IOError.h"
#include "LayoutRecognition.h"

namespace {
// A window of this many bytes holds a screenful of rows many times over.
constexpr std::size_t kWindowBytes = 256 * 1024;
}  // namespace

RecordFile::RecordFile(const std::string& path, std::optional<RecordLayout> layout,
                       std::optional<BlockCode> blockCode)
    : path_(path), info_(RegularFileInfo(path)), source_(path) {
    size_ = source_.Size();
    // A layout the caller assumed (the window's current types) gives way
    // to the file's own when its lines plainly have another shape.
    layout_ = layout && LayoutFits(source_, size_, *layout) ? *layout : RecogniseLayout(source_, size_, blockCode);
    count_ = layout_.RecordCount(size_);
}

RecordFile::~RecordFile() = default;

fileaccess::FileInfo RecordFile::RegularFileInfo(const std::string& path) {
    // A folder, device or pipe has no records to read.
    fileaccess::FileInfo info;
    fileaccess::Close(OpenRegularFileForReading(path, info));
    return info;
}

std::size_t RecordFile::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t n) const {
    return source_.ReadOrThrow(offset, into, n);
}

void RecordFile::ReadWhole(std::uint64_t offset, std::uint8_t* into, std::size_t n) const {
    const std::size_t got = ReadAt(offset, into, n);
    if (got < n)
        throw std::runtime_error(path_ + ": the file ends at byte " + std::to_string(offset + got) + ", not at " +
                                 std::to_string(size_) + " as when it was opened");
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
