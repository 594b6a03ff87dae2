#pragma once

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "AlignedBuffer.h"
#include "CallRecordBlock.h"
#include "RecordFile.h"
#include "RecordWriters.h"
#include "SelectionIndex.h"

// Walking a call-record file or a text output record by record, as the
// selection's scan and its export do: large positioned reads into one
// aligned buffer, a failed read or a file grown shorter an exception
// (RecordFile::ReadWhole), progress kept in a counter.
namespace recordwalk {

// Large enough that a read costs little per record.
inline constexpr std::size_t kWalkChunkBytes = 1 << 20;

inline bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

// Record bits for records [first, first+n), n <= 64.
inline std::uint64_t Selected(const SelectionIndex* selection, std::uint64_t first, std::size_t n) {
    const std::uint64_t all = n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    return selection ? selection->Bits(first) & all : all;
}

// Calls onBlock(block bytes, mask of its selected records, its first record
// number) for each block with a selected record, in order, reading the file
// in large chunks; chunks without a selected record are not read at all.
// False when stopped.
template <typename Block>
bool WalkBlocks(const RecordFile& file, const SelectionIndex* selection, const std::atomic<bool>* stop,
                std::atomic<std::uint64_t>* done, Block onBlock) {
    const std::uint64_t blocks = file.RecordCount() / kRecordsPerBlock;
    const std::size_t chunkBlocks = kWalkChunkBytes / kBlockSize;
    AlignedBuffer chunk(kWalkChunkBytes);
    for (std::uint64_t b = 0; b < blocks; b += chunkBlocks) {
        if (Stopped(stop))
            return false;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkBlocks, blocks - b));
        bool any = !selection;
        for (std::size_t k = 0; k < want && !any; ++k)
            any = Selected(selection, (b + k) * kRecordsPerBlock, kRecordsPerBlock) != 0;
        if (any) {
            file.ReadWhole(b * kBlockSize, chunk.Data(), want * kBlockSize);
            for (std::size_t k = 0; k < want; ++k) {
                const RecordMask mask = Selected(selection, (b + k) * kRecordsPerBlock, kRecordsPerBlock);
                if (mask)
                    onBlock(chunk.Data() + k * kBlockSize, mask, (b + k) * kRecordsPerBlock);
            }
        }
        if (done)
            done->store((b + want) * kRecordsPerBlock, std::memory_order_relaxed);
    }
    return true;
}

// Calls onLine(line bytes, line number) for each selected line, in order.
template <typename Line>
bool WalkLines(const RecordFile& file, const SelectionIndex* selection, const std::atomic<bool>* stop,
               std::atomic<std::uint64_t>* done, Line onLine) {
    const std::uint64_t lines = file.RecordCount();
    const std::size_t length = file.Layout().LineLength();
    // Whole 64-line runs, so each run's bits come in one word.
    const std::size_t chunkLines = std::max<std::size_t>(64, kWalkChunkBytes / length / 64 * 64);
    AlignedBuffer chunk(chunkLines * length);
    for (std::uint64_t l = 0; l < lines; l += chunkLines) {
        if (Stopped(stop))
            return false;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(chunkLines, lines - l));
        bool any = !selection;
        for (std::size_t k = 0; k < want && !any; k += 64)
            any = Selected(selection, l + k, std::min<std::size_t>(64, want - k)) != 0;
        if (any) {
            file.ReadWhole(l * length, chunk.Data(), want * length);
            for (std::size_t k = 0; k < want; k += 64) {
                const std::size_t n = std::min<std::size_t>(64, want - k);
                for (std::uint64_t bits = Selected(selection, l + k, n); bits; bits &= bits - 1) {
                    const std::size_t i = k + static_cast<std::size_t>(std::countr_zero(bits));
                    onLine(chunk.Data() + i * length, l + i);
                }
            }
        }
        if (done)
            done->store(l + want, std::memory_order_relaxed);
    }
    return true;
}

}  // namespace recordwalk
