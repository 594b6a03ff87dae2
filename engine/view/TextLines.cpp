#include "TextLines.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "FileSource.h"

namespace {

constexpr std::size_t kReadAhead = 256 * 1024;

// Reads a file forward through one buffer.
class ForwardReader {
public:
    ForwardReader(const FileSource& source, std::uint64_t offset)
        : source_(source), start_(offset), buffer_(kReadAhead) {}

    // Bytes at offset (>= the current start), up to the buffer's end; empty at the file's end.
    std::pair<const std::uint8_t*, std::size_t> At(std::uint64_t offset) {
        if (offset < start_ || offset >= start_ + filled_) {
            start_ = offset;
            filled_ = source_.Read(offset, buffer_.data(), buffer_.size());
        }
        const std::size_t skip = static_cast<std::size_t>(offset - start_);
        return {buffer_.data() + skip, filled_ - skip};
    }

private:
    const FileSource& source_;
    std::uint64_t start_;
    std::size_t filled_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::vector<TextLine> ReadLines(const FileSource& source, std::uint64_t offset, std::size_t count,
                                std::size_t maxBytes, std::uint64_t maxScan) {
    std::vector<TextLine> lines;
    ForwardReader reader(source, offset);
    std::uint64_t at = offset;
    while (lines.size() < count) {
        auto [bytes, n] = reader.At(at);
        if (n == 0)
            break;
        TextLine line;
        line.Offset = at;
        bool ended = false;
        while (n > 0) {
            const auto* lf = static_cast<const std::uint8_t*>(std::memchr(bytes, '\n', n));
            const std::size_t part = lf ? static_cast<std::size_t>(lf - bytes) : n;
            const std::size_t room = maxBytes - line.Bytes.size();
            line.Bytes.insert(line.Bytes.end(), bytes, bytes + std::min(part, room));
            if (part > room)
                line.Cut = true;
            at += part;
            if (lf) {
                at += 1;
                ended = true;
                break;
            }
            if (at - line.Offset >= maxScan) {
                line.Cut = true;
                line.EndUnknown = true;
                break;
            }
            std::tie(bytes, n) = reader.At(at);
        }
        // CR LF ends a line as LF does; a CR cut off with the line stays out of view anyway.
        if (ended && !line.Cut && !line.Bytes.empty() && line.Bytes.back() == '\r')
            line.Bytes.pop_back();
        line.Next = at;
        const bool stop = line.EndUnknown;
        lines.push_back(std::move(line));
        if (stop)
            break;
    }
    return lines;
}
