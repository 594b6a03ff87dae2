#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class FileSource;

// Where some lines of a text start: a checkpoint every few thousand lines
// (and at least every MiB), never one per line, so the index of a GiB of
// text stays well under a MiB. A line ends after LF; a CR before it belongs
// to the line end. Bytes after the last LF make one more line.
struct LineCheckpoint {
    std::uint64_t Line;    // from 0
    std::uint64_t Offset;  // where that line starts
};

// One published state of an index, possibly still growing. Immutable.
struct LineIndex {
    std::vector<LineCheckpoint> Checkpoints{{0, 0}};
    std::uint64_t IndexedBytes = 0;  // bytes looked at so far
    std::uint64_t LineEnds = 0;      // LFs among them
    std::uint64_t LastLineStart = 0; // after the last of those LFs
    bool Complete = false;

    // Lines known so far; once complete, every line of the file.
    std::uint64_t LineCount() const {
        return LineEnds + (Complete && IndexedBytes > LastLineStart ? 1 : 0);
    }
    // The last checkpoint at or before line, and before offset.
    const LineCheckpoint& AtLine(std::uint64_t line) const;
    const LineCheckpoint& AtOffset(std::uint64_t offset) const;
};

// Builds an index from consecutive pieces of a file, of any size.
class LineIndexBuilder {
public:
    static constexpr std::uint64_t kLinesPerCheckpoint = 4096;
    static constexpr std::uint64_t kMinCheckpointBytes = 32 * 1024;
    static constexpr std::uint64_t kMaxCheckpointBytes = 1024 * 1024;

    void Feed(const std::uint8_t* bytes, std::size_t n);
    void Finish() { index_.Complete = true; }
    const LineIndex& Index() const { return index_; }

private:
    void FeedPiece(const std::uint8_t* bytes, std::size_t n);
    LineIndex index_;
};

// Where line starts in source, counting from the index's nearest checkpoint;
// nothing when the file has no such line (now), or when finding it would
// read more than maxScan bytes.
std::optional<std::uint64_t> LineStart(const FileSource& source, const LineIndex& index,
                                       std::uint64_t line, std::uint64_t maxScan = UINT64_MAX);

// The line holding offset.
std::uint64_t LineOfOffset(const FileSource& source, const LineIndex& index, std::uint64_t offset);
