#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "CodeTable.h"
#include "Job.h"
#include "RecordFile.h"
#include "RecordPredicate.h"
#include "SelectionIndex.h"

// Runs the predicate over every record of the file in large positioned
// reads, counting records looked at in progress.Done and matches in
// progress.Found. Returns nothing when progress.Stop turned true before the
// end. Throws IOError when a read fails, std::runtime_error when the file
// has grown shorter since it was opened, and LayoutError at a text line
// that lost its shape (the file changed since it was recognised).
std::optional<SelectionIndex> SelectRecords(const RecordFile& file, const RecordPredicate& predicate,
                                            JobProgress& progress);

// One selection on a job of its own; progress.Total is the file's records.
// table is copied: the caller's may change.
std::unique_ptr<Job<SelectionIndex>> StartSelection(std::shared_ptr<const RecordFile> file,
                                                    std::vector<SelectionCondition> conditions,
                                                    const CodeTable* table);
