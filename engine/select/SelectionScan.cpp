#include "SelectionScan.h"

#include <algorithm>

#include "CallRecordBlock.h"
#include "IOError.h"
#include "LayoutRecognition.h"
#include "RecordWalk.h"

namespace {

void ScanBlocks(const RecordFile& file, const RecordPredicate& predicate, JobProgress& progress,
                SelectionIndex& index) {
    std::uint64_t matches = 0;
    recordwalk::WalkBlocks(file, nullptr, &progress.Stop, &progress.Done,
                           [&](const std::uint8_t* block, RecordMask, std::uint64_t first) {
                               const std::uint8_t* record = block + kHeaderSize;
                               for (std::size_t r = 0; r < kRecordsPerBlock; ++r, record += kRecordSize) {
                                   if (predicate.Matches(record)) {
                                       index.Set(first + r);
                                       ++matches;
                                   }
                               }
                               progress.Found.store(matches, std::memory_order_relaxed);
                           });
}

void ScanLines(const RecordFile& file, const RecordPredicate& predicate, JobProgress& progress,
               SelectionIndex& index) {
    const std::size_t length = file.Layout().LineLength();
    std::uint64_t matches = 0;
    recordwalk::WalkLines(file, nullptr, &progress.Stop, &progress.Done, [&](const std::uint8_t* line, std::uint64_t l) {
        // The line end is where the layout puts it, or the file changed.
        if (line[length - 2] != '\r' || line[length - 1] != '\n')
            throw LayoutError("line " + std::to_string(l + 1) + " (offset " + std::to_string(l * length) +
                              ") does not end where " + file.Layout().Describe() + " end");
        if (predicate.Matches(line)) {
            index.Set(l);
            ++matches;
        }
        progress.Found.store(matches, std::memory_order_relaxed);
    });
}

}  // namespace

std::optional<SelectionIndex> SelectRecords(const RecordFile& file, const RecordPredicate& predicate,
                                            JobProgress& progress) {
    SelectionIndex index(file.RecordCount());
    if (file.Layout().IsText())
        ScanLines(file, predicate, progress, index);
    else
        ScanBlocks(file, predicate, progress, index);
    if (progress.Stopped())
        return std::nullopt;
    index.Finish();
    return index;
}

std::unique_ptr<Job<SelectionIndex>> StartSelection(std::shared_ptr<const RecordFile> file,
                                                    std::vector<SelectionCondition> conditions,
                                                    const CodeTable* table) {
    return std::make_unique<Job<SelectionIndex>>(
        [file = std::move(file), conditions = std::move(conditions),
         table = table ? std::optional<CodeTable>(*table) : std::nullopt](JobProgress& progress) {
            progress.Total = file->RecordCount();
            const RecordPredicate predicate(conditions, file->Layout(), table ? &*table : nullptr);
            return SelectRecords(*file, predicate, progress);
        });
}
