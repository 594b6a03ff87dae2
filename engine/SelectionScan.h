#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CodeTable.h"
#include "RecordFile.h"
#include "RecordPredicate.h"
#include "SelectionIndex.h"

// Counters a scan keeps current while it runs, read from any thread.
struct ScanProgress {
    std::atomic<std::uint64_t> RecordsDone{0};
    std::atomic<std::uint64_t> Matches{0};
};

// Runs the predicate over every record of the file in large positioned
// reads. Returns nothing when stop turned true before the end. Throws
// IOError when a read fails, std::runtime_error when the file has grown
// shorter since it was opened, and LayoutError at a text line that lost its
// shape (the file changed since it was recognised).
std::optional<SelectionIndex> SelectRecords(const RecordFile& file, const RecordPredicate& predicate,
                                            const std::atomic<bool>& stop, ScanProgress& progress);

// One selection on a thread of its own, started by the constructor. The
// owner polls the counters and Finished(); the destructor cancels and waits.
class SelectionJob {
public:
    SelectionJob(std::shared_ptr<const RecordFile> file, std::vector<SelectionCondition> conditions,
                 const CodeTable* table);
    ~SelectionJob();
    SelectionJob(const SelectionJob&) = delete;
    SelectionJob& operator=(const SelectionJob&) = delete;

    void Cancel() { stop_ = true; }
    bool Finished() const { return finished_.load(); }
    std::uint64_t Records() const { return file_->RecordCount(); }
    std::uint64_t RecordsDone() const { return progress_.RecordsDone.load(); }
    std::uint64_t Matches() const { return progress_.Matches.load(); }

    // Once Finished(): the matches, or nothing when cancelled or failed.
    std::optional<SelectionIndex> TakeIndex();
    // Once Finished(): why it failed, empty when it did not.
    const std::string& Error() const { return error_; }

private:
    void Body();

    std::shared_ptr<const RecordFile> file_;
    std::vector<SelectionCondition> conditions_;
    std::optional<CodeTable> table_;  // a copy: the caller's may change
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    ScanProgress progress_;
    std::optional<SelectionIndex> index_;
    std::string error_;
    std::thread thread_;  // last: starts once everything above is in place
};
