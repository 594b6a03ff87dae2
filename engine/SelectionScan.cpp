#include "SelectionScan.h"

#include <algorithm>
#include <exception>

#include "CallRecordBlock.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "RecordWalk.h"

namespace {

void ScanBlocks(const RecordFile& file, const RecordPredicate& predicate, const std::atomic<bool>& stop,
                ScanProgress& progress, SelectionIndex& index) {
    std::uint64_t matches = 0;
    recordwalk::WalkBlocks(file, nullptr, &stop, &progress.RecordsDone,
                           [&](const std::uint8_t* block, RecordMask, std::uint64_t first) {
                               const std::uint8_t* record = block + kHeaderSize;
                               for (std::size_t r = 0; r < kRecordsPerBlock; ++r, record += kRecordSize) {
                                   if (predicate.Matches(record)) {
                                       index.Set(first + r);
                                       ++matches;
                                   }
                               }
                               progress.Matches.store(matches, std::memory_order_relaxed);
                           });
}

void ScanLines(const RecordFile& file, const RecordPredicate& predicate, const std::atomic<bool>& stop,
               ScanProgress& progress, SelectionIndex& index) {
    const std::size_t length = file.Layout().LineLength();
    std::uint64_t matches = 0;
    recordwalk::WalkLines(file, nullptr, &stop, &progress.RecordsDone, [&](const std::uint8_t* line, std::uint64_t l) {
        // The line end is where the layout puts it, or the file changed.
        if (line[length - 2] != '\r' || line[length - 1] != '\n')
            throw LayoutError("line " + std::to_string(l + 1) + " (offset " + std::to_string(l * length) +
                              ") does not end where " + file.Layout().Describe() + " end");
        if (predicate.Matches(line)) {
            index.Set(l);
            ++matches;
        }
        progress.Matches.store(matches, std::memory_order_relaxed);
    });
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
