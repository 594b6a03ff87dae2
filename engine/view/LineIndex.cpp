#include "LineIndex.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "AlignedBuffer.h"
#include "FileSource.h"

namespace {

// How many bytes of p[0..n) are c: 16 at a time, in byte counters that are
// summed up before they can overflow.
std::uint64_t CountByte(const std::uint8_t* p, std::size_t n, std::uint8_t c) {
    std::uint64_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i target = _mm_set1_epi8(static_cast<char>(c));
    const std::size_t whole = n - n % 16;
    while (i < whole) {
        const std::size_t end = std::min(whole, i + 255 * 16);
        __m128i counters = _mm_setzero_si128();
        for (; i < end; i += 16)
            counters = _mm_sub_epi8(
                counters, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), target));
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += static_cast<std::uint64_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::uint64_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; i < n; ++i)
        count += p[i] == c;
    return count;
}

// Counted a piece at a time: a plain count runs at memory speed, and the
// exact position is looked for only where a checkpoint is due.
constexpr std::size_t kPiece = 64 * 1024;
constexpr std::size_t kScanBuffer = 256 * 1024;
constexpr std::size_t kMinScanBuffer = 4096;

}  // namespace

const LineCheckpoint& LineIndex::AtLine(std::uint64_t line) const {
    auto it = std::upper_bound(Checkpoints.begin(), Checkpoints.end(), line,
                               [](std::uint64_t l, const LineCheckpoint& c) { return l < c.Line; });
    return *(it - 1);
}

const LineCheckpoint& LineIndex::AtOffset(std::uint64_t offset) const {
    auto it =
        std::upper_bound(Checkpoints.begin(), Checkpoints.end(), offset,
                         [](std::uint64_t o, const LineCheckpoint& c) { return o < c.Offset; });
    return *(it - 1);
}

void LineIndexBuilder::Feed(const std::uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        // Pieces aligned to the file, so the result does not depend on how
        // the caller cut its reads.
        const std::size_t room = kPiece - static_cast<std::size_t>(index_.IndexedBytes % kPiece);
        const std::size_t take = std::min(n, room);
        FeedPiece(bytes, take);
        bytes += take;
        n -= take;
    }
}

void LineIndexBuilder::FeedPiece(const std::uint8_t* bytes, std::size_t n) {
    const std::uint64_t base = index_.IndexedBytes;
    index_.IndexedBytes += n;
    const std::uint64_t ends = CountByte(bytes, n, '\n');
    if (ends > 0) {
        // A line of a MiB or more gets a checkpoint right after it, so that
        // the lines behind it are found without reading it again. Its end
        // is the first LF of any piece it ends in, however the file is cut.
        const auto* first = static_cast<const std::uint8_t*>(std::memchr(bytes, '\n', n));
        const std::uint64_t next = base + static_cast<std::uint64_t>(first - bytes) + 1;
        if (next - index_.LastLineStart >= kMaxCheckpointBytes && next > index_.Checkpoints.back().Offset)
            index_.Checkpoints.push_back({index_.LineEnds + 1, next});
        index_.LineEnds += ends;
        const std::uint8_t* last = bytes + n - 1;  // an LF is there, so the walk ends
        while (*last != '\n')
            --last;
        index_.LastLineStart = base + static_cast<std::uint64_t>(last - bytes) + 1;
    }
    // Checkpoints are decided at the end of a whole piece only.
    if (index_.IndexedBytes % kPiece != 0)
        return;
    const LineCheckpoint& previous = index_.Checkpoints.back();
    const std::uint64_t lines = index_.LineEnds - previous.Line;
    const std::uint64_t span = index_.LastLineStart - previous.Offset;
    if ((lines >= kLinesPerCheckpoint && span >= kMinCheckpointBytes) || span >= kMaxCheckpointBytes)
        index_.Checkpoints.push_back({index_.LineEnds, index_.LastLineStart});
}

std::optional<std::uint64_t> LineStart(const FileSource& source, const LineIndex& index,
                                       std::uint64_t line, std::uint64_t maxScan) {
    const LineCheckpoint& from = index.AtLine(line);
    std::uint64_t toSkip = line - from.Line;
    std::uint64_t offset = from.Offset;
    // No larger than the rest of the file (then read again should it have
    // grown): a line of a short file does not take 256 KiB.
    const std::uint64_t rest = source.Size() > offset ? source.Size() - offset : 0;
    AlignedBuffer buffer(static_cast<std::size_t>(std::clamp<std::uint64_t>(rest, kMinScanBuffer, kScanBuffer)));
    while (toSkip > 0) {
        if (offset - from.Offset > maxScan)
            return std::nullopt;
        const std::size_t got = source.Read(offset, buffer.Data(), buffer.Size());
        if (got == 0)
            return std::nullopt;
        const std::uint8_t* p = buffer.Data();
        const std::uint8_t* end = p + got;
        while (toSkip > 0) {
            const auto* lf = static_cast<const std::uint8_t*>(std::memchr(p, '\n', end - p));
            if (!lf)
                break;
            p = lf + 1;
            --toSkip;
        }
        offset += static_cast<std::uint64_t>(p - buffer.Data());
        if (toSkip > 0 && p != end)
            offset += static_cast<std::uint64_t>(end - p);
    }
    // A start at the very end is a line only if it is not past the file.
    if (offset >= source.Size() && !(offset == 0 && line == 0))
        return std::nullopt;
    return offset;
}

std::uint64_t LineOfOffset(const FileSource& source, const LineIndex& index, std::uint64_t offset) {
    const LineCheckpoint& from = index.AtOffset(offset);
    std::uint64_t line = from.Line;
    std::uint64_t at = from.Offset;
    AlignedBuffer buffer(static_cast<std::size_t>(std::clamp<std::uint64_t>(offset - at, 1, kScanBuffer)));
    while (at < offset) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.Size(), offset - at));
        const std::size_t got = source.Read(at, buffer.Data(), want);
        if (got == 0)
            break;
        line += CountByte(buffer.Data(), got, '\n');
        at += got;
    }
    return line;
}
