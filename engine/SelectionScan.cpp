#include "SelectionScan.h"

#include <algorithm>
#include <exception>

#include "AlignedBuffer.h"
#include "CallRecordBlock.h"
#include "IOError.h"
#include "LayoutRecognition.h"

namespace {

// Large enough that a read costs little per record.
constexpr std::size_t kChunkBytes = 1 << 20;

void ScanBlocks(const RecordFile& file, const RecordPredicate& predicate, const std::atomic<bool>& stop,
                ScanProgress& progress, SelectionIndex& index) {
    const std::uint64_t blocks = file.RecordCount() / kRecordsPerBlock;
    const std::size_t chunkBlocks = kChunkBytes / kBlockSize;
    AlignedBuffer chunk(chunkBlocks * kBlockSize);
    std::uint64_t matches = 0;
    for (std::uint64_t b = 0; b < blocks && !stop.load(std::memory_order_relaxed); b += chunkBlocks) {
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(chunkBlocks, blocks - b));
        file.ReadWhole(b * kBlockSize, chunk.Data(), got * kBlockSize);
        for (std::size_t k = 0; k < got; ++k) {
            const std::uint8_t* record = chunk.Data() + k * kBlockSize + kHeaderSize;
            std::uint64_t number = (b + k) * kRecordsPerBlock;
            for (std::size_t r = 0; r < kRecordsPerBlock; ++r, ++number, record += kRecordSize) {
                if (predicate.Matches(record)) {
                    index.Set(number);
                    ++matches;
                }
            }
        }
        progress.RecordsDone.store((b + got) * kRecordsPerBlock, std::memory_order_relaxed);
        progress.Matches.store(matches, std::memory_order_relaxed);
    }
}

void ScanLines(const RecordFile& file, const RecordPredicate& predicate, const std::atomic<bool>& stop,
               ScanProgress& progress, SelectionIndex& index) {
    const std::uint64_t lines = file.RecordCount();
    const std::size_t length = file.Layout().LineLength();
    const std::size_t chunkLines = std::max<std::size_t>(1, kChunkBytes / length);
    AlignedBuffer chunk(chunkLines * length);
    std::uint64_t matches = 0;
    for (std::uint64_t l = 0; l < lines && !stop.load(std::memory_order_relaxed); l += chunkLines) {
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(chunkLines, lines - l));
        file.ReadWhole(l * length, chunk.Data(), got * length);
        for (std::size_t k = 0; k < got; ++k) {
            const std::uint8_t* line = chunk.Data() + k * length;
            // The line end is where the layout puts it, or the file changed.
            if (line[length - 2] != '\r' || line[length - 1] != '\n')
                throw LayoutError("line " + std::to_string(l + k + 1) + " (offset " +
                                  std::to_string((l + k) * length) + ") does not end where " +
                                  file.Layout().Describe() + " end");
            if (predicate.Matches(line)) {
                index.Set(l + k);
                ++matches;
            }
        }
        progress.RecordsDone.store(l + got, std::memory_order_relaxed);
        progress.Matches.store(matches, std::memory_order_relaxed);
    }
}

}  // namespace

std::optional<SelectionIndex> SelectRecords(const RecordFile& file, const RecordPredicate& predicate,
                                            const std::atomic<bool>& stop, ScanProgress& progress) {
    SelectionIndex index(file.RecordCount());
    if (file.Layout().IsText())
        ScanLines(file, predicate, stop, progress, index);
    else
        ScanBlocks(file, predicate, stop, progress, index);
    if (stop.load())
        return std::nullopt;
    index.Finish();
    return index;
}

SelectionJob::SelectionJob(std::shared_ptr<const RecordFile> file, std::vector<SelectionCondition> conditions,
                           const CodeTable* table)
    : file_(std::move(file)), conditions_(std::move(conditions)),
      table_(table ? std::optional<CodeTable>(*table) : std::nullopt), thread_([this] { Body(); }) {}

SelectionJob::~SelectionJob() {
    stop_ = true;
    thread_.join();
}

void SelectionJob::Body() {
    try {
        const RecordPredicate predicate(conditions_, file_->Layout(), table_ ? &*table_ : nullptr);
        index_ = SelectRecords(*file_, predicate, stop_, progress_);
    } catch (const IOError& e) {
        error_ = e.FileName() + ": " + e.what();
    } catch (const std::exception& e) {
        error_ = e.what();
    }
    finished_ = true;
}

std::optional<SelectionIndex> SelectionJob::TakeIndex() {
    if (!finished_.load())
        return std::nullopt;
    return std::move(index_);
}
